// The person's input over Win32: mouse messages at a point of the window under it, keys to the
// focused window through the framework's message loop steps (so the dialog manager sees them as
// it would), and an assistive tool's actions as the messages those tools send to standard
// controls.
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <string>

#include "app/framework/win32/wnd_internal.h"
#include "tests/support/user_input.h"
#include "tests/support/window_system.h"

namespace {

// Delivers what the input queued (characters, posted notifications) as the loop would.
void Drain() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        AfxPumpMessage(&msg);
    }
}

LPARAM PackPoint(POINT p) {
    return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

DWORD StyleOf(HWND hWnd) {
    return static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_STYLE));
}

void NotifyParentCommand(HWND hWnd, UINT nCode) {
    ::SendMessageA(::GetParent(hWnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hWnd), nCode),
                   reinterpret_cast<LPARAM>(hWnd));
}

// The keyboard as the system sees it while one key goes in: Ctrl and Shift as asked.
class ModifierKeys {
public:
    ModifierKeys(bool bCtrl, bool bShift) {
        ::GetKeyboardState(m_saved);
        BYTE state[256];
        ::GetKeyboardState(state);
        state[VK_CONTROL] = bCtrl ? 0x80 : 0;
        state[VK_SHIFT] = bShift ? 0x80 : 0;
        ::SetKeyboardState(state);
    }
    ~ModifierKeys() { ::SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256];
};

void KeyMessage(HWND hTarget, UINT message, UINT nVirtualKey) {
    const UINT scan = ::MapVirtualKeyA(nVirtualKey, 0);
    LPARAM lParam = 1 | (static_cast<LPARAM>(scan) << 16);
    if (message == WM_KEYUP) {
        lParam |= static_cast<LPARAM>(0xC0000000u);
    }
    MSG msg{hTarget, message, nVirtualKey, lParam, ::GetTickCount(), {0, 0}};
    AfxPumpMessage(&msg);
    Drain();
}

}  // namespace

namespace user {

void Click(HWND hWnd) {
    RECT rc{};
    ::GetClientRect(hWnd, &rc);
    ClickAt(hWnd, POINT{rc.right / 2, rc.bottom / 2});
}

void ClickAt(HWND hWnd, POINT client) {
    // The window a pointer there reaches: the innermost visible and enabled child, or the
    // window itself; a disabled window takes no pointer input at all.
    if (!::IsWindowEnabled(hWnd)) {
        return;
    }
    HWND target = hWnd;
    POINT p = client;
    for (;;) {
        HWND child = ::ChildWindowFromPointEx(
            target, p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
        if (child == nullptr || child == target) {
            break;
        }
        ::MapWindowPoints(target, child, &p, 1);
        target = child;
    }
    ::SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(p));
    Drain();
    ::SendMessageA(target, WM_LBUTTONUP, 0, PackPoint(p));
    Drain();
}

void ClickItem(HWND hWnd, int nIndex) {
    RECT rc{};
    RECT client{};
    ::GetClientRect(hWnd, &client);
    if (IsWindowClass(hWnd, WC_TABCONTROLA)) {
        // The person scrolls the row with its arrows, a tab at a time, until the tab shows (one
        // scrolled off to the left has no extent).
        const int count = static_cast<int>(::SendMessageA(hWnd, TCM_GETITEMCOUNT, 0, 0));
        for (int step = 0; step <= count; ++step) {
            ::SendMessageA(hWnd, TCM_GETITEMRECT, static_cast<WPARAM>(nIndex),
                           reinterpret_cast<LPARAM>(&rc));
            if (rc.right > rc.left && rc.left >= 0 && rc.right <= client.right) {
                break;
            }
            ::SendMessageA(hWnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, nIndex), 0);
        }
    } else {
        // The person scrolls to the line first.
        ::SendMessageA(hWnd, LB_GETITEMRECT, static_cast<WPARAM>(nIndex),
                       reinterpret_cast<LPARAM>(&rc));
        if (rc.top < 0 || rc.bottom > client.bottom) {
            ::SendMessageA(hWnd, LB_SETTOPINDEX, static_cast<WPARAM>(nIndex), 0);
            ::SendMessageA(hWnd, LB_GETITEMRECT, static_cast<WPARAM>(nIndex),
                           reinterpret_cast<LPARAM>(&rc));
        }
    }
    ClickAt(hWnd, POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

void Key(HWND hWnd, UINT nVirtualKey, bool bCtrl, bool bShift) {
    ::SetForegroundWindow(::GetAncestor(hWnd, GA_ROOT));
    if (::IsWindowEnabled(hWnd)) {
        ::SetFocus(hWnd);  // a disabled control cannot take it: the key goes where the focus is
    }
    Drain();
    // A control may pass the focus on (a combo box to its edit field).
    HWND target = ::GetFocus() != nullptr   ? ::GetFocus()
                  : ::IsWindowEnabled(hWnd) ? hWnd
                                            : ::GetAncestor(hWnd, GA_ROOT);
    const ModifierKeys modifiers(bCtrl, bShift);
    // The loop's TranslateMessage makes the character of a character key.
    KeyMessage(target, WM_KEYDOWN, nVirtualKey);
    KeyMessage(::GetFocus() != nullptr ? ::GetFocus() : target, WM_KEYUP, nVirtualKey);
}

void Type(HWND hWnd, const char* lpszText) {
    for (const char* p = lpszText; *p != '\0'; ++p) {
        const SHORT vk = ::VkKeyScanA(*p);
        Key(hWnd, LOBYTE(vk), false, (HIBYTE(vk) & 1) != 0);
    }
}

bool Act(HWND hWnd, const char* lpszAction) {
    const CString action(lpszAction);
    if (IsWindowClass(hWnd, WC_BUTTONA)) {
        const DWORD type = StyleOf(hWnd) & BS_TYPEMASK;
        const bool push = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
        const bool toggles = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                             type == BS_AUTO3STATE || type == BS_RADIOBUTTON ||
                             type == BS_AUTORADIOBUTTON;
        if ((push && action == "Press") || (toggles && action == "Toggle")) {
            ::SendMessageA(hWnd, BM_CLICK, 0, 0);
            Drain();
            return true;
        }
        return false;
    }
    if (IsWindowClass(hWnd, WC_STATICA) && (StyleOf(hWnd) & SS_NOTIFY) != 0 && action == "Press") {
        Click(hWnd);
        return true;
    }
    return false;
}

bool Choose(HWND hWnd, int nIndex) {
    if (IsWindowClass(hWnd, WC_TABCONTROLA)) {
        return SelectTabAsUser(hWnd, nIndex) != FALSE;
    }
    if (IsWindowClass(hWnd, WC_LISTBOXA)) {
        if (::SendMessageA(hWnd, LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0) == LB_ERR) {
            return false;
        }
        if ((StyleOf(hWnd) & LBS_NOTIFY) != 0) {
            NotifyParentCommand(hWnd, LBN_SELCHANGE);
        }
        return true;
    }
    if (IsWindowClass(hWnd, WC_COMBOBOXA)) {
        if (::SendMessageA(hWnd, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0) == CB_ERR) {
            return false;
        }
        NotifyParentCommand(hWnd, CBN_SELCHANGE);
        return true;
    }
    return false;
}

bool SetValue(HWND hWnd, int nValue) {
    if (!IsWindowClass(hWnd, TRACKBAR_CLASSA)) {
        return false;
    }
    ::SendMessageA(hWnd, TBM_SETPOS, TRUE, nValue);
    const UINT message = (StyleOf(hWnd) & TBS_VERT) != 0 ? WM_VSCROLL : WM_HSCROLL;
    HWND parent = ::GetParent(hWnd);
    const auto pos = static_cast<int>(::SendMessageA(hWnd, TBM_GETPOS, 0, 0));
    ::SendMessageA(parent, message, MAKEWPARAM(TB_THUMBPOSITION, pos),
                   reinterpret_cast<LPARAM>(hWnd));
    ::SendMessageA(parent, message, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(hWnd));
    return true;
}

void Close(HWND hWnd) {
    ::SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    Drain();
}

bool ChooseMenuItem(int nIndex) {
    if (nIndex < 0 || nIndex >= static_cast<int>(PopupMenuItems().size())) {
        return false;
    }
    // The keys go where the keyboard's do, and the menu's own loop takes them from the queue:
    // Down from no selection to the first item and on to the one, then Enter.
    HWND focus = ::GetFocus();
    for (int i = 0; i <= nIndex; ++i) {
        ::PostMessageA(focus, WM_KEYDOWN, VK_DOWN, 1);
    }
    ::PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1);
    return true;
}

}  // namespace user

namespace user {

namespace {

CString AccessibleText(HWND hWnd, bool bName) {
    IAccessible* acc = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(OBJID_CLIENT),
                                            __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&acc))) ||
        acc == nullptr) {
        return CString();
    }
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    const HRESULT hr = bName ? acc->get_accName(self, &text) : acc->get_accDescription(self, &text);
    acc->Release();
    CString result;
    if (SUCCEEDED(hr) && text != nullptr) {
        const int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
        std::string narrow(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), n, nullptr, nullptr);
        result = CString(narrow.c_str());
        ::SysFreeString(text);
    }
    return result;
}

}  // namespace

// What the system's accessibility layer (MSAA) tells a screen reader.
CString AccessibleName(HWND hWnd) {
    return AccessibleText(hWnd, true);
}

CString AccessibleDescription(HWND hWnd) {
    return AccessibleText(hWnd, false);
}

}  // namespace user
