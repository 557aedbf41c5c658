// How a window object hears its messages: sending and posting, the message-map lookup for
// commands, notifications and the rest, what a message does when no handler takes it, and the
// handlers' default bodies. wnd_hook.cpp turns the widget's Qt events into these messages.
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cstring>

#include "app/framework/wnd.h"
#include "app/framework/wnd_internal.h"

namespace {

// The messages being handled, innermost first, each on the stack of the call that delivers it.
// A handler may destroy its window object (PostNcDestroy deleting it): the delivering call then
// only pops its own frame and never touches the object again.
struct DispatchFrame {
    const CWnd* pWnd;
    CWnd::CurrentMessage msg;
    DispatchFrame* pOuter;
};
thread_local DispatchFrame* g_pInnermost = nullptr;

class DispatchScope {
public:
    DispatchScope(const CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam)
        : m_frame{pWnd, {message, wParam, lParam, FALSE}, g_pInnermost} {
        g_pInnermost = &m_frame;
    }
    ~DispatchScope() { g_pInnermost = m_frame.pOuter; }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
    const CWnd::CurrentMessage& Message() const { return m_frame.msg; }

private:
    DispatchFrame m_frame;
};

}  // namespace

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

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* target = FromHandle(m_hWnd);
    if (target == nullptr) {
        target = this;
    }
    const DispatchScope scope(target, message, wParam, lParam);
    return target->WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd) {
        return FALSE;
    }
    QPointer<QWidget> w = WidgetOf(m_hWnd);
    QMetaObject::invokeMethod(
        w.data(),
        [w, message, wParam, lParam]() {
            if (CWnd* target = FromHandle(HandleOf(w))) {
                target->SendMessage(message, wParam, lParam);
            }
        },
        Qt::QueuedConnection);
    return TRUE;
}

BOOL CWnd::DispatchWidgetMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const DispatchScope scope(this, message, wParam, lParam);
    WindowProc(message, wParam, lParam);
    return scope.Message().bPassToWidget;
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

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT: {
            if (!m_hWnd) {
                return FALSE;
            }
            const QString text =
                lParam != 0 ? QString::fromUtf8(reinterpret_cast<const char*>(lParam)) : QString();
            ApplyWidgetText(WidgetOf(m_hWnd), text);
            return TRUE;
        }
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<char*>(lParam);
            const int size = static_cast<int>(wParam);
            if (buffer == nullptr || size <= 0) {
                return 0;
            }
            const QByteArray text = WidgetText(WidgetOf(m_hWnd)).toUtf8();
            const int n = std::min(size - 1, static_cast<int>(text.size()));
            std::memcpy(buffer, text.constData(), static_cast<std::size_t>(n));
            buffer[n] = '\0';
            return n;
        }
        case WM_GETTEXTLENGTH:
            return WidgetText(WidgetOf(m_hWnd)).toUtf8().size();
        case WM_SETREDRAW:
            if (m_hWnd) {
                WidgetOf(m_hWnd)->setUpdatesEnabled(wParam != 0);
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        case WM_PAINT:
        case WM_ERASEBKGND:
        case WM_ENABLE:
        case WM_SIZE:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            if (CurrentMessage* cur = CurrentMsg(); cur != nullptr && cur->message == message) {
                cur->bPassToWidget = TRUE;
            }
            return 0;
        default:
            return 0;
    }
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
