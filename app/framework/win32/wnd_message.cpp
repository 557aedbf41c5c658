// The Win32 back end's delivery of messages: the framework's window procedure over every window
// it knows, sending and posting through the system, the colour requests of controls turned into
// the framework's one WM_CTLCOLOR, and the system's handling (the replaced procedure) as
// DefWindowProc.
#include <windows.h>

#include <algorithm>

#include "app/framework/dispatch.h"
#include "app/framework/gdi.h"
#include "app/framework/win32/programmatic_change.h"
#include "app/framework/win32/wnd_internal.h"
#include "app/framework/wnd.h"

namespace {

std::map<HWND, WindowRecord>& Records() {
    static std::map<HWND, WindowRecord> records;
    return records;
}

// The object being created by CreateEx, attached at its window's first message.
thread_local CWnd* g_pWndInit = nullptr;

LRESULT CallSuper(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* rec = FindWindowRecord(hWnd);
    if (rec != nullptr && rec->pfnSuper != nullptr) {
        return ::CallWindowProcA(rec->pfnSuper, hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

bool IsColourRequest(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

std::vector<HWND>& QuietWindows() {
    static std::vector<HWND> quiet;
    return quiet;
}

}  // namespace

ProgrammaticChange::ProgrammaticChange(HWND hWnd) : m_hWnd(hWnd) {
    QuietWindows().push_back(hWnd);
}

ProgrammaticChange::~ProgrammaticChange() {
    auto& quiet = QuietWindows();
    quiet.erase(std::find(quiet.begin(), quiet.end(), m_hWnd));
}

bool ProgrammaticChange::Active(HWND hWnd) {
    const auto& quiet = QuietWindows();
    return std::find(quiet.begin(), quiet.end(), hWnd) != quiet.end();
}

WindowRecord* FindWindowRecord(HWND hWnd) {
    auto it = Records().find(hWnd);
    return it != Records().end() ? &it->second : nullptr;
}

WindowRecord& EnsureWindowRecord(HWND hWnd) {
    return Records()[hWnd];
}

void SubclassWithFramework(HWND hWnd) {
    WindowRecord& rec = EnsureWindowRecord(hWnd);
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    if (current != &AfxWndProc) {
        rec.pfnSuper = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    }
}

// The friend of CWnd through which the window procedure reaches the object's internals.
class CWndHook {
public:
    static LRESULT Deliver(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        const DispatchScope scope(pWnd, message, wParam, lParam);
        return pWnd->WindowProc(message, wParam, lParam);
    }

    // The window is going: every object holding it lets go, and the attached one hears last.
    static void WindowGone(HWND hWnd) {
        auto it = Records().find(hWnd);
        if (it == Records().end()) {
            return;
        }
        CWnd* target = it->second.pWnd;
        const std::vector<CWnd*> holders = it->second.holders;
        Records().erase(it);
        for (CWnd* holder : holders) {
            holder->m_hWnd = nullptr;
        }
        if (target != nullptr) {
            target->PostNcDestroy();
        }
    }
};

void CWnd::SetHandle(HWND hWnd) {
    if (m_hWnd != nullptr) {
        if (WindowRecord* rec = FindWindowRecord(m_hWnd)) {
            std::erase(rec->holders, this);
            if (rec->pWnd == this) {
                rec->pWnd = nullptr;
            }
        }
    }
    m_hWnd = hWnd;
    if (hWnd != nullptr) {
        EnsureWindowRecord(hWnd).holders.push_back(this);
    }
}

void CWnd::AttachWidget(HWND hWnd) {
    SetHandle(hWnd);
    if (hWnd != nullptr) {
        EnsureWindowRecord(hWnd).pWnd = this;
        SubclassWithFramework(hWnd);
    }
}

void SetCreatingWindow(CWnd* pWnd) {
    g_pWndInit = pWnd;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* rec = FindWindowRecord(hWnd);
    if (rec == nullptr && g_pWndInit != nullptr) {
        // The first message of a window CreateEx is making: from here on it is the object's.
        CWnd* pWnd = g_pWndInit;
        g_pWndInit = nullptr;
        pWnd->AttachWidget(hWnd);
        rec = FindWindowRecord(hWnd);
    }
    if (rec == nullptr) {
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        const LRESULT result = CallSuper(hWnd, message, wParam, lParam);
        CWndHook::WindowGone(hWnd);
        return result;
    }
    CWnd* pWnd = rec->pWnd;
    if (pWnd == nullptr) {
        return CallSuper(hWnd, message, wParam, lParam);
    }
    if (message == WM_COMMAND && lParam != 0 &&
        ProgrammaticChange::Active(reinterpret_cast<HWND>(lParam))) {
        return 0;  // a control reporting what the program itself did to it
    }
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        if (const LRESULT object = AccessibleObjectResult(hWnd, wParam, *rec); object != 0) {
            return object;
        }
    }
    if (IsColourRequest(message)) {
        // The one colour request of the framework; the system's colours where it gives none.
        CDC dc;
        dc.m_hDC = reinterpret_cast<HDC>(wParam);
        CtlColorRequest req{CWnd::FromHandle(reinterpret_cast<HWND>(lParam)),
                            message - WM_CTLCOLORMSGBOX};
        LRESULT brush = CWndHook::Deliver(pWnd, WM_CTLCOLOR, reinterpret_cast<WPARAM>(&dc),
                                          reinterpret_cast<LPARAM>(&req));
        if (brush == 0 && IsWindow(hWnd)) {
            brush = CallSuper(hWnd, message, wParam, lParam);
            // The defaults set their own colours; the handler's win.
            if (dc.TextColorSet()) {
                ::SetTextColor(reinterpret_cast<HDC>(wParam), dc.GetTextColor());
            }
            if (dc.BkColorSet()) {
                ::SetBkColor(reinterpret_cast<HDC>(wParam), dc.GetBkColor());
            }
        }
        if (dc.GetBkMode() == TRANSPARENT) {
            ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        }
        dc.m_hDC = nullptr;  // the system's context, not the object's to release
        return brush;
    }
    return CWndHook::Deliver(pWnd, message, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd != nullptr) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    // No window: the object still hears what it is sent, as its own handlers would.
    return CWndHook::Deliver(this, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd != nullptr ? ::PostMessageA(m_hWnd, message, wParam, lParam) : FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLOR || m_hWnd == nullptr) {
        return 0;  // the framework's own request: the window procedure gives the defaults
    }
    // A window of the framework's own class keeps the font it is given, as controls do, so that
    // what it draws can use it.
    WindowRecord* rec = FindWindowRecord(m_hWnd);
    if (rec != nullptr && rec->pfnSuper == nullptr) {
        if (message == WM_SETFONT) {
            rec->hFont = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam) != 0) {
                ::InvalidateRect(m_hWnd, nullptr, TRUE);
            }
            return 0;
        }
        if (message == WM_GETFONT) {
            return reinterpret_cast<LRESULT>(rec->hFont);
        }
    }
    return CallSuper(m_hWnd, message, wParam, lParam);
}
