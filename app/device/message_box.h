// One way for every part of the program to put a message box in front of the user. The window
// layer installs the real boxes; the command-line client prints; tests script the answers.
// The flag and answer values are the Win32 ones so that code reads like the system it models.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
constexpr unsigned MB_OK = 0x00000000;
constexpr unsigned MB_OKCANCEL = 0x00000001;
constexpr unsigned MB_YESNO = 0x00000004;
constexpr unsigned MB_ICONHAND = 0x00000010;
constexpr unsigned MB_ICONERROR = MB_ICONHAND;
constexpr unsigned MB_ICONQUESTION = 0x00000020;
constexpr unsigned MB_ICONEXCLAMATION = 0x00000030;
constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr unsigned MB_ICONASTERISK = 0x00000040;
constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr unsigned MB_SYSTEMMODAL = 0x00001000;
constexpr unsigned MB_SETFOREGROUND = 0x00010000;
constexpr unsigned MB_TOPMOST = 0x00040000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
#endif

// Shows one box owned by `owner` (an opaque window handle; null for none) and returns the
// button the user pressed (IDOK, IDCANCEL, ...).
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int Show(void* owner, const char* text, const char* caption, unsigned flags) = 0;
};

// The process-wide service. Without one installed, boxes are written to standard error and
// answered IDOK.
void SetMessageBoxService(MessageBoxService* service);
MessageBoxService& MessageBoxes();

// Which window is in front, as the window layer sees it (an opaque handle, null when none).
// Boxes that name no owner belong to it; without a source they have no owner.
void SetForegroundWindowSource(void* (*source)());

// Convenience: a box owned by the foreground window.
int ShowMessageBox(const char* text, const char* caption, unsigned flags);
