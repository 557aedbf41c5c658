// The hook that turns a widget's Qt events into messages for its window object, and the helpers
// through which controls notify their parents.
#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>

#include <cstdint>
#include <set>

#include "app/framework/app.h"
#include "app/framework/gdi.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

LPARAM PackPoint(const QPoint& p) {
    const auto x = static_cast<std::uint16_t>(static_cast<std::int16_t>(p.x()));
    const auto y = static_cast<std::uint16_t>(static_cast<std::int16_t>(p.y()));
    return static_cast<LPARAM>(x | (static_cast<std::uint32_t>(y) << 16));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The hook.

CWndHook::CWndHook(QWidget* widget) : QObject(widget), m_widget(widget) {
    setObjectName(QStringLiteral("zelHook"));
    widget->installEventFilter(this);
}

CWndHook::~CWndHook() {
    for (CWnd* holder : m_holders) {
        holder->m_hWnd = nullptr;
    }
}

void CWndHook::WatchViewport(QWidget* viewport) {
    viewport->installEventFilter(this);
}

CWndHook* HookOf(QWidget* widget) {
    if (widget == nullptr) {
        return nullptr;
    }
    return widget->findChild<CWndHook*>(QStringLiteral("zelHook"), Qt::FindDirectChildrenOnly);
}

CWndHook* EnsureHook(QWidget* widget) {
    CWndHook* hook = HookOf(widget);
    return hook != nullptr ? hook : new CWndHook(widget);
}

void CWndHook::RequestColors() {
    QWidget* parent = m_widget->parentWidget();
    if (parent == nullptr || m_widget->isWindow()) {
        return;
    }
    CWnd* parentWnd = CWnd::FromHandle(HandleOf(parent));
    CWnd* self = CWnd::FromHandle(HandleOf(m_widget));
    if (parentWnd == nullptr) {
        return;
    }
    const QByteArray cls = m_widget->property(kPropClass).toByteArray();
    UINT kind = CTLCOLOR_STATIC;
    if (cls == "Edit") {
        const DWORD style = m_widget->property(kPropStyle).toUInt();
        kind = (style & ES_READONLY) != 0 ? CTLCOLOR_STATIC : CTLCOLOR_EDIT;
    } else if (cls == "ListBox") {
        kind = CTLCOLOR_LISTBOX;
    } else if (cls == "Button") {
        kind = CTLCOLOR_BTN;
    } else if (cls == "msctls_trackbar32") {
        kind = CTLCOLOR_STATIC;
    }
    CDC dc;
    CtlColorRequest req{self, kind};
    const LRESULT r = parentWnd->SendMessage(WM_CTLCOLOR, reinterpret_cast<WPARAM>(&dc),
                                             reinterpret_cast<LPARAM>(&req));
    const auto brush = reinterpret_cast<HBRUSH>(r);
    const bool custom = brush != nullptr || dc.TextColorSet() || dc.BkColorSet();
    const bool wasCustom = m_widget->property("zelCtlColor").toBool();
    if (!custom) {
        if (wasCustom) {
            m_widget->setProperty("zelCtlColor", false);
            m_widget->setPalette(QPalette());
            m_widget->setAutoFillBackground(false);
        }
        return;
    }
    QPalette pal = QApplication::palette(m_widget);
    if (brush != nullptr) {
        const QColor back = ColorFromRef(BrushColor(brush));
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::Base, back);
    }
    if (dc.TextColorSet()) {
        const QColor text = ColorFromRef(dc.GetTextColor());
        pal.setColor(QPalette::WindowText, text);
        pal.setColor(QPalette::Text, text);
    }
    if (!wasCustom || pal != m_widget->palette()) {
        m_widget->setProperty("zelCtlColor", true);
        m_widget->setPalette(pal);
        m_widget->setAutoFillBackground(brush != nullptr);
    }
}

bool CWndHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_widget) {
        if (event->type() == QEvent::Paint) {
            RequestColors();
        }
        return false;
    }
    CWnd* wnd = CWnd::FromHandle(HandleOf(m_widget));
    if (wnd == nullptr) {
        return false;
    }
    struct Depth {
        int& n;
        explicit Depth(int& r) : n(r) { ++n; }
        ~Depth() { --n; }
    } depth(m_nDispatchDepth);
    QPointer<QWidget> guard(m_widget);

    switch (event->type()) {
        case QEvent::Paint: {
            RequestColors();
            // Trackbars tell their parent each time they paint; only the default drawing exists.
            if (m_widget->property(kPropClass).toByteArray() == "msctls_trackbar32") {
                NotifyParent(m_widget, NM_CUSTOMDRAW);
                if (!guard) {
                    return true;
                }
            }
            const BOOL pass = wnd->DispatchWidgetMessage(WM_PAINT, 0, 0);
            if (!pass && guard) {
                if (auto* plain = dynamic_cast<CWndWidget*>(m_widget)) {
                    plain->PaintEdges();
                }
            }
            return !pass;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            UINT msg = WM_MOUSEMOVE;
            const bool left = me->button() == Qt::LeftButton;
            if (event->type() == QEvent::MouseButtonPress) {
                msg = left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
            } else if (event->type() == QEvent::MouseButtonRelease) {
                msg = left ? WM_LBUTTONUP : WM_RBUTTONUP;
            } else if (event->type() == QEvent::MouseButtonDblClick) {
                msg = left ? WM_LBUTTONDBLCLK : WM_RBUTTONDOWN;
            }
            const QPoint client = me->position().toPoint() - ClientOrigin(m_widget);
            UINT keys = 0;
            if ((me->buttons() & Qt::LeftButton) != 0) {
                keys |= 0x0001;  // MK_LBUTTON
            }
            if ((me->buttons() & Qt::RightButton) != 0) {
                keys |= 0x0002;  // MK_RBUTTON
            }
            const BOOL pass = wnd->DispatchWidgetMessage(msg, keys, PackPoint(client));
            // Notifying statics report clicks to their parent.
            if (guard && msg == WM_LBUTTONDOWN && !m_widget->isWindow() &&
                m_widget->property(kPropClass).toByteArray() == "Static" &&
                (m_widget->property(kPropStyle).toUInt() & SS_NOTIFY) != 0) {
                NotifyParentCommand(m_widget, STN_CLICKED);
            }
            return !pass;
        }
        case QEvent::Close: {
            event->ignore();
            wnd->DispatchWidgetMessage(WM_CLOSE, 0, 0);
            return true;
        }
        case QEvent::EnabledChange: {
            wnd->DispatchWidgetMessage(WM_ENABLE, m_widget->isEnabled() ? TRUE : FALSE, 0);
            return false;
        }
        case QEvent::Resize: {
            const QSize s = m_widget->size();
            wnd->DispatchWidgetMessage(
                WM_SIZE, 0,
                static_cast<LPARAM>((s.width() & 0xFFFF) | ((s.height() & 0xFFFF) << 16)));
            return false;
        }
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Notifications from controls to their parents.

void NotifyParentCommand(QWidget* ctrl, UINT nCode) {
    if (ctrl == nullptr || ProgrammaticChange::Active(ctrl)) {
        return;
    }
    CWnd* parent = CWnd::FromHandle(HandleOf(ctrl->parentWidget()));
    if (parent == nullptr) {
        return;
    }
    const int id = ctrl->property(kPropId).toInt();
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), nCode),
                        reinterpret_cast<LPARAM>(ctrl));
}

LRESULT NotifyParent(QWidget* ctrl, UINT nCode) {
    if (ctrl == nullptr || ProgrammaticChange::Active(ctrl)) {
        return 0;
    }
    CWnd* parent = CWnd::FromHandle(HandleOf(ctrl->parentWidget()));
    if (parent == nullptr) {
        return 0;
    }
    NMHDR hdr{HandleOf(ctrl), static_cast<UINT_PTR>(ctrl->property(kPropId).toInt()), nCode};
    return parent->SendMessage(WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

void NotifyParentScroll(QWidget* ctrl, UINT message, UINT nCode, int nPos) {
    if (ctrl == nullptr || ProgrammaticChange::Active(ctrl)) {
        return;
    }
    CWnd* parent = CWnd::FromHandle(HandleOf(ctrl->parentWidget()));
    if (parent == nullptr) {
        return;
    }
    parent->SendMessage(message, MAKEWPARAM(nCode, static_cast<unsigned>(nPos)),
                        reinterpret_cast<LPARAM>(ctrl));
}

ProgrammaticChange::ProgrammaticChange(QWidget* widget) : m_widget(widget) {
    if (widget != nullptr) {
        widget->setProperty("zelQuiet", widget->property("zelQuiet").toInt() + 1);
    }
}

ProgrammaticChange::~ProgrammaticChange() {
    if (m_widget) {
        m_widget->setProperty("zelQuiet", m_widget->property("zelQuiet").toInt() - 1);
    }
}

bool ProgrammaticChange::Active(QWidget* widget) {
    return widget != nullptr && widget->property("zelQuiet").toInt() > 0;
}

namespace {

std::set<HWND>& LiveWindows() {
    static std::set<HWND> live;
    return live;
}

}  // namespace

BOOL IsWindow(HWND hWnd) {
    return hWnd != nullptr && LiveWindows().count(hWnd) != 0 ? TRUE : FALSE;
}

void TagWidget(QWidget* widget, int nID, DWORD dwStyle, DWORD dwExStyle, const char* lpszClass) {
    if (LiveWindows().insert(HandleOf(widget)).second) {
        QObject::connect(widget, &QObject::destroyed,
                         [hWnd = HandleOf(widget)]() { LiveWindows().erase(hWnd); });
    }
    widget->setProperty(kPropId, nID);
    widget->setProperty(kPropStyle, static_cast<uint>(dwStyle));
    widget->setProperty(kPropExStyle, static_cast<uint>(dwExStyle));
    widget->setProperty(kPropClass, QByteArray(lpszClass != nullptr ? lpszClass : ""));
    InstallAccessibleFactory(widget);
}

QString DisplayText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                out += c;
                ++i;
            }
            continue;
        }
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            continue;
        }
        out += c;
    }
    return out;
}
