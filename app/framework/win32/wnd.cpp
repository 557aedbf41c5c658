// CWnd over a real window: creation with the framework's window class, subclassing, text,
// family, state, styles, geometry and timers, each the system's call on the object's handle.
#include "app/framework/wnd.h"

#include <windows.h>

#include <string>

#include "app/framework/app.h"
#include "app/framework/win32/programmatic_change.h"
#include "app/framework/win32/wnd_internal.h"

namespace {

constexpr const char* kPlainClass = "ZelWindow";

// A class of the framework's own: its window procedure, the arrow, the button face behind it.
bool RegisterFrameworkClass(const char* lpszClassName) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExA(AfxGetInstanceHandle(), lpszClassName, &wc) ||
        ::GetClassInfoExA(nullptr, lpszClassName, &wc)) {
        return true;
    }
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = lpszClassName;
    return ::RegisterClassExA(&wc) != 0;
}

bool IsFrameworkClass(const char* lpszClassName) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    return (::GetClassInfoExA(AfxGetInstanceHandle(), lpszClassName, &wc) ||
            ::GetClassInfoExA(nullptr, lpszClassName, &wc)) &&
           wc.lpfnWndProc == &AfxWndProc;
}

}  // namespace

const char* FrameworkWindowClass() {
    RegisterFrameworkClass(kPlainClass);
    return kPlainClass;
}

// ---------------------------------------------------------------------------------------------

CWnd::CWnd() = default;

CWnd::~CWnd() {
    ForgetDispatches();
    if (m_pFont) {
        m_pFont->m_hObject = nullptr;  // the window's font, not the object's to delete
    }
    SetHandle(nullptr);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    const WindowRecord* rec = hWnd != nullptr ? FindWindowRecord(hWnd) : nullptr;
    return rec != nullptr ? rec->pWnd : nullptr;
}

BOOL CWnd::Attach(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr || !::IsWindow(hWnd)) {
        return FALSE;
    }
    AttachWidget(hWnd);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    SetHandle(nullptr);
    return h;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    HWND parent = pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr;
    if ((dwStyle & WS_CHILD) != 0 && parent == nullptr) {
        return FALSE;
    }
    const char* cls =
        lpszClassName != nullptr && *lpszClassName != '\0' ? lpszClassName : FrameworkWindowClass();
    if (!RegisterFrameworkClass(cls)) {
        return FALSE;
    }
    // A window of the framework's class is the object's from its first message (WM_CREATE
    // reaches the handlers); one of another class (a system control) from its creation.
    const bool ours = IsFrameworkClass(cls);
    if (ours) {
        SetCreatingWindow(this);
    }
    HWND h = ::CreateWindowExA(
        dwExStyle, cls, lpszWindowName != nullptr ? lpszWindowName : "", dwStyle, rect.left,
        rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
        (dwStyle & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr,
        AfxGetInstanceHandle(), nullptr);
    SetCreatingWindow(nullptr);
    if (h == nullptr) {
        return FALSE;
    }
    if (!ours) {
        AttachWidget(h);
    }
    if (m_hWnd != nullptr && parent != nullptr && (dwStyle & WS_CHILD) != 0) {
        // A child takes its parent's font, as the template's controls take the dialog's.
        SendMessage(WM_SETFONT, static_cast<WPARAM>(::SendMessageA(parent, WM_GETFONT, 0, 0)),
                    FALSE);
    }
    return m_hWnd != nullptr ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    // The system destroys owned windows first, then this one; WM_NCDESTROY lets every object go.
    return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

void CWnd::SetWindowText(LPCTSTR lpszString) {
    const ProgrammaticChange quiet(m_hWnd);
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString != nullptr ? lpszString : ""));
}

// Windows screen readers name a control by its own text, or by the label before it in the
// dialog; what the program says instead reaches them through WM_GETOBJECT.
void CWnd::SetAccessibleName(const CString& name) {
    if (m_hWnd != nullptr) {
        EnsureWindowRecord(m_hWnd).accName = name.GetStdString();
    }
}

void CWnd::SetAccessibleDescription(const CString& description) {
    if (m_hWnd != nullptr) {
        EnsureWindowRecord(m_hWnd).accDescription = description.GetStdString();
    }
}

HWND CWnd::GetDlgItemHwnd(int nID) const {
    return m_hWnd != nullptr ? ::GetDlgItem(m_hWnd, nID) : nullptr;
}

int CWnd::GetDlgCtrlID() const {
    return m_hWnd != nullptr ? ::GetDlgCtrlID(m_hWnd) : 0;
}

void CWnd::SetDlgCtrlID(int nID) {
    if (m_hWnd != nullptr) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID);
    }
}

CWnd* CWnd::GetParent() const {
    return m_hWnd != nullptr ? FromHandle(::GetParent(m_hWnd)) : nullptr;
}

CWnd* CWnd::GetOwner() const {
    if (m_hWnd == nullptr || (GetStyle() & WS_CHILD) != 0) {
        return nullptr;
    }
    return FromHandle(::GetWindow(m_hWnd, GW_OWNER));
}

void CWnd::SetOwner(CWnd* pOwnerWnd) {
    if (m_hWnd == nullptr || (GetStyle() & WS_CHILD) != 0) {
        return;
    }
    ::SetWindowLongPtrA(
        m_hWnd, GWLP_HWNDPARENT,
        reinterpret_cast<LONG_PTR>(pOwnerWnd != nullptr ? pOwnerWnd->GetSafeHwnd() : nullptr));
}

CWnd* CWnd::GetTopLevelParent() const {
    return m_hWnd != nullptr ? FromHandle(::GetAncestor(m_hWnd, GA_ROOT)) : nullptr;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return m_hWnd != nullptr ? ::ShowWindow(m_hWnd, nCmdShow) : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr ? ::IsWindowVisible(m_hWnd) : FALSE;
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return m_hWnd != nullptr ? ::EnableWindow(m_hWnd, bEnable) : FALSE;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_hWnd != nullptr ? ::IsWindowEnabled(m_hWnd) : FALSE;
}

DWORD CWnd::GetStyle() const {
    return m_hWnd != nullptr ? static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)) : 0;
}

DWORD CWnd::GetExStyle() const {
    return m_hWnd != nullptr ? static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)) : 0;
}

namespace {

BOOL ModifyLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    if (hWnd == nullptr) {
        return FALSE;
    }
    const auto old = static_cast<DWORD>(::GetWindowLongA(hWnd, nIndex));
    const DWORD now = (old & ~dwRemove) | dwAdd;
    if (old == now) {
        return FALSE;
    }
    ::SetWindowLongA(hWnd, nIndex, static_cast<LONG>(now));
    if (nIndex == GWL_STYLE && ((old ^ now) & WS_DISABLED) != 0) {
        ::EnableWindow(hWnd, (now & WS_DISABLED) == 0);
    }
    if (nIndex == GWL_STYLE && ((old ^ now) & WS_VISIBLE) != 0) {
        ::ShowWindow(hWnd, (now & WS_VISIBLE) != 0 ? SW_SHOWNA : SW_HIDE);
    }
    ::SetWindowPos(
        hWnd, nullptr, 0, 0, 0, 0,
        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | nFlags);
    return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    if (m_hWnd != nullptr && pFont != nullptr) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont->GetSafeHandle()), bRedraw);
    }
}

CFont* CWnd::GetFont() const {
    if (m_hWnd == nullptr) {
        return nullptr;
    }
    if (!m_pFont) {
        m_pFont = std::make_unique<CFont>();
    }
    auto hFont = reinterpret_cast<HGDIOBJ>(const_cast<CWnd*>(this)->SendMessage(WM_GETFONT));
    // Null is the system font.
    m_pFont->m_hObject = hFont != nullptr ? hFont : ::GetStockObject(SYSTEM_FONT);
    return m_pFont.get();
}

void CWnd::Invalidate(BOOL bErase) {
    if (m_hWnd != nullptr) {
        ::InvalidateRect(m_hWnd, nullptr, bErase);
    }
}

BOOL CWnd::RedrawWindow(const RECT* lpRectUpdate, void* /*prgnUpdate*/, UINT flags) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    // Any redraw asks for the area to be painted again, as the program means by it.
    return ::RedrawWindow(m_hWnd, lpRectUpdate, nullptr, flags | RDW_INVALIDATE);
}

void CWnd::UpdateWindow() {
    if (m_hWnd != nullptr) {
        ::UpdateWindow(m_hWnd);
    }
}

BOOL CWnd::SetForegroundWindow() {
    return m_hWnd != nullptr ? ::SetForegroundWindow(::GetAncestor(m_hWnd, GA_ROOT)) : FALSE;
}

void CWnd::SetFocus() {
    if (m_hWnd != nullptr) {
        ::SetFocus(m_hWnd);
    }
}

CWnd* CWnd::GetForegroundWindow() {
    return FromHandle(::GetForegroundWindow());
}

void CWnd::GetClientRect(RECT* lpRect) const {
    if (lpRect == nullptr) {
        return;
    }
    *lpRect = RECT{0, 0, 0, 0};
    if (m_hWnd != nullptr) {
        ::GetClientRect(m_hWnd, lpRect);
    }
}

void CWnd::GetWindowRect(RECT* lpRect) const {
    if (lpRect == nullptr) {
        return;
    }
    *lpRect = RECT{0, 0, 0, 0};
    if (m_hWnd != nullptr) {
        ::GetWindowRect(m_hWnd, lpRect);
    }
}

void CWnd::ClientToScreen(POINT* lpPoint) const {
    if (lpPoint != nullptr && m_hWnd != nullptr) {
        ::ClientToScreen(m_hWnd, lpPoint);
    }
}

void CWnd::ScreenToClient(POINT* lpPoint) const {
    if (lpPoint != nullptr && m_hWnd != nullptr) {
        ::ScreenToClient(m_hWnd, lpPoint);
    }
}

void CWnd::ClientToScreen(RECT* lpRect) const {
    if (lpRect != nullptr && m_hWnd != nullptr) {
        ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(lpRect), 2);
    }
}

void CWnd::ScreenToClient(RECT* lpRect) const {
    if (lpRect != nullptr && m_hWnd != nullptr) {
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(lpRect), 2);
    }
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    if (m_hWnd != nullptr) {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* /*lpfnTimer*/) {
    if (m_hWnd == nullptr || nIDEvent == 0 || ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr) == 0) {
        return 0;
    }
    EnsureWindowRecord(m_hWnd).timers[nIDEvent] = nElapse;
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    WindowRecord* rec = m_hWnd != nullptr ? FindWindowRecord(m_hWnd) : nullptr;
    if (rec == nullptr || rec->timers.erase(nIDEvent) == 0) {
        return FALSE;
    }
    return ::KillTimer(m_hWnd, nIDEvent);
}

UINT CWnd::GetTimerPeriod(UINT_PTR nIDEvent) const {
    const WindowRecord* rec = m_hWnd != nullptr ? FindWindowRecord(m_hWnd) : nullptr;
    if (rec == nullptr) {
        return 0;
    }
    auto it = rec->timers.find(nIDEvent);
    return it != rec->timers.end() ? it->second : 0;
}
