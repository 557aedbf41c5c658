// Process-wide services of the window layer: start-up (style, dialog font, message boxes),
// system colours, the exit-with-code path, message boxes and resource pictures.
#pragma once

#include "app/device/message_box.h"
#include "app/framework/win32_api.h"
#include "app/framework/win_types.h"

// The program's start: the application object, then what AfxInitFramework sets up, and the
// system's notices (termination signals, the session's end, resume) as messages to the main
// window. Call first in main; AfxWinTerm at the end.
BOOL AfxWinInit(int argc, char** argv);
// Whether the desktop shows notification-area icons.
BOOL AfxIsNotificationAreaAvailable();
// Runs the message loop until the main window ends it; returns the exit code it gave.
int AfxRunMessageLoop();
void AfxWinTerm();

// The look of the windows, the dialog font, the system colours and, when bInstallMessageBoxes,
// the real message boxes. Call once, after AfxWinInit.
void AfxInitFramework(bool bInstallMessageBoxes = true);

// Ends the program at once with nExitCode, as the program's fatal paths require.
[[noreturn]] void ExitProgram(int nExitCode);

#ifndef _WIN32
// A box through the process's message-box service; hOwner null means the foreground window.
// On Windows it is the system's own.
int MessageBox(HWND hOwner, const char* lpszText, const char* lpszCaption, UINT nType);
#endif

class CWnd;
// The application's main window: owner of dialogs created without a parent.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* pWnd);
