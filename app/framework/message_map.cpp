// How a window object hears its messages, the same over every back end: the messages being
// delivered (each on its delivering call's stack), the message-map lookup for commands,
// notifications and the rest, and the handlers' default bodies. Each back end sends, posts and
// gives the system's own handling (DefWindowProc) of a message.
#include "app/framework/dispatch.h"
#include "app/framework/wnd.h"

namespace {
thread_local DispatchFrame* g_pInnermost = nullptr;
}  // namespace

DispatchScope::DispatchScope(const CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam)
    : m_frame{pWnd, {message, wParam, lParam, FALSE}, g_pInnermost} {
    g_pInnermost = &m_frame;
}

DispatchScope::~DispatchScope() {
    g_pInnermost = m_frame.pOuter;
}

CWnd::CurrentMessage* CWnd::CurrentMsg() const {
    for (DispatchFrame* f = g_pInnermost; f != nullptr; f = f->pOuter) {
        if (f->pWnd == this) {
            return &f->msg;
        }
    }
    return nullptr;
}

void CWnd::ForgetDispatches() const {
    for (DispatchFrame* f = g_pInnermost; f != nullptr; f = f->pOuter) {
        if (f->pWnd == this) {
            f->pWnd = nullptr;
        }
    }
}

LRESULT CWnd::Default() {
    const CurrentMessage* cur = CurrentMsg();
    if (cur == nullptr) {
        return 0;
    }
    return DefWindowProc(cur->message, cur->wParam, cur->lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) {
        return result;
    }
    return DefWindowProc(message, wParam, lParam);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        return OnNotify(wParam, lParam, pResult);
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfnInvoke != nullptr; ++e) {
            if (e->nMessage == message && message != WM_COMMAND && message != WM_NOTIFY) {
                *pResult = e->pfnInvoke(this, wParam, lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfnInvoke != nullptr; ++e) {
            if (e->nMessage == WM_COMMAND && e->nCode == code && id >= e->nID && id <= e->nLastID) {
                e->pfnInvoke(this, wParam, lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM /*wParam*/, LPARAM lParam, LRESULT* pResult) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr == nullptr) {
        return FALSE;
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfnInvoke != nullptr; ++e) {
            if (e->nMessage == WM_NOTIFY && e->nCode == hdr->code && hdr->idFrom >= e->nID &&
                hdr->idFrom <= e->nLastID) {
                *pResult = e->pfnInvoke(this, 0, lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnEnable(BOOL) {
    Default();
}
int CWnd::OnCreate() {
    return static_cast<int>(Default());
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnHScroll(UINT, UINT, CWnd*) {
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CWnd*) {
    Default();
}
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) {
    return reinterpret_cast<HBRUSH>(Default());
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
void CWnd::OnLButtonDown(UINT, POINT) {
    Default();
}
void CWnd::OnLButtonUp(UINT, POINT) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, POINT) {
    Default();
}
void CWnd::OnRButtonDown(UINT, POINT) {
    Default();
}
void CWnd::OnMouseMove(UINT, POINT) {
    Default();
}

BOOL CWnd::DispatchWidgetMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const DispatchScope scope(this, message, wParam, lParam);
    WindowProc(message, wParam, lParam);
    return scope.Message().bPassToWidget;
}
