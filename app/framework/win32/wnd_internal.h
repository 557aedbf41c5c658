// Pieces of the Win32 back end shared between its source files; not for window code.
//
// Every window the framework knows runs the framework's window procedure (AfxWndProc): made by
// the framework (CreateEx, dialogs) or subclassed (SubclassWindow, a dialog's controls). The
// procedure it replaced is kept and is what DefWindowProc calls. A handle map finds the object
// attached to a window, and every object that holds the handle, so the window's going reaches
// them all.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/framework/wnd.h"

// What the back end knows of one window.
struct WindowRecord {
    CWnd* pWnd = nullptr;             // the object its messages go to
    WNDPROC pfnSuper = nullptr;       // the procedure the framework's replaced
    std::vector<CWnd*> holders;       // every object whose m_hWnd is this window
    std::map<UINT_PTR, UINT> timers;  // running timers and their periods
    HFONT hFont = nullptr;            // WM_SETFONT's font, for windows of the framework's class
    std::string accName;              // what a screen reader calls it, when the program says
    std::string accDescription;       // and says of it
};

// The record of a window the framework knows, or null.
WindowRecord* FindWindowRecord(HWND hWnd);
WindowRecord& EnsureWindowRecord(HWND hWnd);

// The answer to WM_GETOBJECT for a window's client area where the program names or describes
// the window (itself, or in its dialog's list of names): the system's object with those texts;
// 0 elsewhere.
LRESULT AccessibleObjectResult(HWND hWnd, WPARAM wParam, const WindowRecord& rec);

// The framework's window procedure, and putting it in place over a window's own.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void SubclassWithFramework(HWND hWnd);

// The object CreateEx is making; its window's first message attaches it.
void SetCreatingWindow(CWnd* pWnd);

// The window class of the framework's own plain windows.
const char* FrameworkWindowClass();

// The wrapper class object a template control gets when nobody subclasses it.
CWnd* NewDefaultWrapper(const char* lpszClassName);

// The dialog keys the framework handles before the system's dialog manager (Enter, Escape,
// Ctrl+Tab); TRUE when the message was a dialog's and is handled. Every message loop of the
// framework calls it for each message it takes.
BOOL AfxPreTranslateMessage(MSG* pMsg);

// Runs one message through the loop's steps: the dialog keys, then dispatch.
void AfxPumpMessage(MSG* pMsg);

struct DialogTemplate;

// The system's in-memory form of a dialog template (DLGTEMPLATE with DS_SETFONT and the
// template's face and points, then one DLGITEMTEMPLATE per control), DWORD-aligned. The dialog
// starts hidden; picture statics start without their picture.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate& tmpl);

// A person choosing tab nIndex of a tab control: the parent hears TCN_SELCHANGING (and may
// refuse), then TCN_SELCHANGE. FALSE when refused or out of range.
BOOL SelectTabAsUser(HWND hTab, int nIndex);

// Whether the window is of the class named (case does not matter, as for the system).
bool IsWindowClass(HWND hWnd, const char* lpszClassName);
