// The Qt back end's delivery of messages: sending, posting through Qt's event queue, a widget
// event delivered as a message, and what a message does when no handler takes it.
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cstring>

#include "app/framework/dispatch.h"
#include "app/framework/wnd.h"
#include "app/framework/qt/wnd_internal.h"

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
