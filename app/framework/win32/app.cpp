// The program's start and end over Win32: the common controls, the real message boxes (the
// system's MessageBoxA, ended by the closing state like any modal loop) and a message loop that
// gives dialogs their keys.
#include "app/framework/app.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/framework/closing.h"
#include "app/framework/dialog.h"
#include "app/framework/win32/wnd_internal.h"
#include "app/framework/wnd.h"

namespace {

// The system's boxes. Closing ends an open one as if it was closed.
class Win32MessageBoxService : public MessageBoxService {
public:
    int Show(void* owner, const char* text, const char* caption, unsigned flags) override {
        const unsigned buttons = flags & 0xF;
        const int closed = buttons == MB_YESNO ? IDNO : buttons == MB_OKCANCEL ? IDCANCEL : IDOK;
        bool ended = false;
        const ModalLoopScope loop([&ended]() {
            ended = true;
            ::EnumThreadWindows(::GetCurrentThreadId(), &EndBox, 0);
        });
        if (AfxIsClosing()) {
            return closed;
        }
        const int answer = ::MessageBoxA(static_cast<HWND>(owner), text, caption, flags);
        return ended ? closed : answer;
    }

private:
    // A message box is a dialog of the system's class that the framework does not know.
    static BOOL CALLBACK EndBox(HWND hWnd, LPARAM) {
        if (CWnd::FromHandle(hWnd) == nullptr && IsWindowClass(hWnd, "#32770")) {
            ::EndDialog(hWnd, IDCANCEL);
        }
        return TRUE;
    }
};

Win32MessageBoxService g_boxes;

void* ForegroundWindowHandle() {
    CWnd* fg = CWnd::GetForegroundWindow();
    return fg != nullptr ? fg->GetSafeHwnd() : nullptr;
}

}  // namespace

BOOL AfxWinInit(int /*argc*/, char** /*argv*/) {
    AfxInitFramework();
    return TRUE;
}

void AfxInitFramework(bool bInstallMessageBoxes) {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES;
    ::InitCommonControlsEx(&icc);
    // The windows' accessible objects reach screen readers through COM.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetForegroundWindowSource(&ForegroundWindowHandle);
    if (bInstallMessageBoxes) {
        SetMessageBoxService(&g_boxes);
    }
}

BOOL AfxIsNotificationAreaAvailable() {
    return ::FindWindowA("Shell_TrayWnd", nullptr) != nullptr ? TRUE : FALSE;
}

void AfxWinTerm() {}

int MessageBox(HWND hOwner, const char* lpszText, const char* lpszCaption, UINT nType) {
    HWND owner = hOwner;
    if (owner == nullptr) {
        if (CWnd* fg = CWnd::GetForegroundWindow()) {
            owner = fg->GetSafeHwnd();
        }
    }
    return MessageBoxes().Show(owner, lpszText != nullptr ? lpszText : "",
                               lpszCaption != nullptr ? lpszCaption : "", nType);
}

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST || pMsg->hwnd == nullptr) {
        return FALSE;
    }
    HWND top = ::GetAncestor(pMsg->hwnd, GA_ROOT);
    auto* dlg = dynamic_cast<CDialog*>(CWnd::FromHandle(top));
    if (dlg == nullptr) {
        return FALSE;
    }
    if (pMsg->message == WM_KEYDOWN) {
        const auto key = static_cast<int>(pMsg->wParam);
        if (key == VK_TAB && ::GetKeyState(VK_CONTROL) < 0) {
            // Ctrl+Tab and Ctrl+Shift+Tab step the dialog's tab control, wrapping.
            for (HWND child = ::GetWindow(top, GW_CHILD); child != nullptr;
                 child = ::GetWindow(child, GW_HWNDNEXT)) {
                if (IsWindowClass(child, WC_TABCONTROLA)) {
                    const int n = static_cast<int>(::SendMessageA(child, TCM_GETITEMCOUNT, 0, 0));
                    const int cur = static_cast<int>(::SendMessageA(child, TCM_GETCURSEL, 0, 0));
                    const int step = ::GetKeyState(VK_SHIFT) < 0 ? n - 1 : 1;
                    if (n > 0) {
                        SelectTabAsUser(child, (cur + step) % n);
                    }
                    return TRUE;
                }
            }
        }
        if (key == VK_RETURN || key == VK_ESCAPE) {
            // Unless the control takes them itself (a multi-line edit, an open drop-down).
            const auto code = static_cast<UINT>(::SendMessageA(
                pMsg->hwnd, WM_GETDLGCODE, pMsg->wParam, reinterpret_cast<LPARAM>(pMsg)));
            if ((code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) == 0) {
                dlg->HandleKey(key);
                return TRUE;
            }
        }
    }
    return ::IsDialogMessageA(top, pMsg);
}

void AfxPumpMessage(MSG* pMsg) {
    if (!AfxPreTranslateMessage(pMsg)) {
        ::TranslateMessage(pMsg);
        ::DispatchMessageA(pMsg);
    }
}
