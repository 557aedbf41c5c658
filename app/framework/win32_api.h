// The system calls the program makes by their Windows names: the notification-area icon, popup
// menus, the cursor, the foreground window, window timers, message boxes, system colours, system
// metrics and file version information. On Windows they are the system's own; elsewhere the
// window layer's back end provides the same names, types and values.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

// The program's menu resource; where the module carries none, the same menu made from the
// program's menu data (a popup of its commands), so that the menu exists either way.
#undef LoadMenu
HMENU LoadMenu(HINSTANCE hInstance, LPCSTR lpMenuName);
#else
#include "app/framework/win_types.h"

using CHAR = char;
using LPCSTR = const char*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;

struct HINSTANCE__;
struct HICON__;
struct HMENU__;
using HINSTANCE = HINSTANCE__*;
using HICON = HICON__*;
using HMENU = HMENU__*;
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// A resource named by its number.
inline LPCSTR MAKEINTRESOURCE(int nID) {
    return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(nID)));
}

// Window messages of the system's notices.
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_ENDSESSION = 0x0016;
// WM_POWERBROADCAST events.
constexpr WPARAM PBT_APMRESUMESUSPEND = 7;

// The notification-area icon.
constexpr DWORD NIM_ADD = 0x0;
constexpr DWORD NIM_MODIFY = 0x1;
constexpr DWORD NIM_DELETE = 0x2;
constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;

struct NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
};
using PNOTIFYICONDATAA = NOTIFYICONDATAA*;

// Adds, changes or removes the icon of (hWnd, uID). Mouse messages on it reach hWnd as
// uCallbackMessage with uID in wParam and the mouse message in lParam.
BOOL Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData);

// Icons and menus of the program's resources (hInstance: AfxGetInstanceHandle()).
HICON LoadIcon(HINSTANCE hInstance, LPCSTR lpIconName);
HMENU LoadMenu(HINSTANCE hInstance, LPCSTR lpMenuName);
HMENU GetSubMenu(HMENU hMenu, int nPos);
BOOL DestroyMenu(HMENU hMenu);

// TrackPopupMenu flags.
constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;

// Shows the menu at the screen point; the chosen command reaches hWnd as WM_COMMAND.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd,
                    const RECT* prcRect);

BOOL SetForegroundWindow(HWND hWnd);

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// System colours: the button face is also the dialog background, as on Windows.
COLORREF GetSysColor(int nIndex);
BOOL SetSysColors(int cElements, const int* lpaElements, const COLORREF* lpaRgbValues);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
int GetSystemMetrics(int nIndex);

// File version information: the fixed part of a library's version resource.
struct VS_FIXEDFILEINFO {
    DWORD dwSignature;  // 0xFEEF04BD
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

// The size of the block GetFileVersionInfoA fills; 0 when the file has no version resource.
DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle);
BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);
// "\\" names the fixed file information.
BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen);
#endif  // _WIN32

// The program's own module, for its resources.
HINSTANCE AfxGetInstanceHandle();
