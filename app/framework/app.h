// Process-wide services of the window layer: start-up (style, dialog font, message boxes),
// system colours, the exit-with-code path, message boxes and resource pictures.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include "app/device/message_box.h"
#include "app/framework/win_types.h"

class QWidget;

// Fusion style, the dialog font, the system colours read from the palette and, when
// bInstallMessageBoxes, the real message boxes. Call once after the QApplication exists.
void AfxInitFramework(bool bInstallMessageBoxes = true);

// Ends the program at once with nExitCode, as the program's fatal paths require.
[[noreturn]] void ExitProgram(int nExitCode);

// System colours: GetSysColor reads the application palette, SetSysColors writes it (for every
// widget). Indices without a palette role keep a value of their own.
COLORREF GetSysColor(int nIndex);
BOOL SetSysColors(int cElements, const int* lpaElements, const COLORREF* lpaRgbValues);

// A box through the process's message-box service; hOwner null means the foreground window.
int MessageBox(HWND hOwner, const char* lpszText, const char* lpszCaption, UINT nType);

// The real service: a QMessageBox, modal, with the icon and buttons the flags ask for.
class QtMessageBoxService : public MessageBoxService {
public:
    int Show(void* owner, const char* text, const char* caption, unsigned flags) override;
};

// Registers the Tahoma-metric font of fonts-wine when present; returns the family the dialogs
// use ("Tahoma", or "DejaVu Sans" without it). Safe to call more than once.
QString LoadDialogFont();
// The font a template asks for (face, points) as the dialogs draw it: 96 pixels per inch.
QFont DialogFont(const char* lpszFaceName, int nPointSize);

// A bitmap or icon resource of the program at its own pixel size; null when it does not exist.
// Looked up as :/res/<id>.png, then :/res/<id>.svg.
QImage LoadBitmapResource(int nIDResource);

class CWnd;
// The application's main window: owner of dialogs created without a parent.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* pWnd);
