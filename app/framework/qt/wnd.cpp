#include "app/framework/wnd.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QAbstractButton>
#include <QGroupBox>

#include "app/framework/app.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

QPointer<QWidget> g_foreground;

}  // namespace

HWND GetFocus() {
    return HandleOf(QApplication::focusWidget());
}

HWND GetParent(HWND hWnd) {
    return hWnd != nullptr ? HandleOf(WidgetOf(hWnd)->parentWidget()) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// CWnd.

CWnd::CWnd() = default;

CWnd::~CWnd() {
    ForgetDispatches();
    if (m_hWnd && FromHandle(m_hWnd) == this) {
        WidgetOf(m_hWnd)->setProperty(kPropWnd, QVariant());
    }
    SetHandle(nullptr);
}

void CWnd::SetHandle(HWND hWnd) {
    if (m_hWnd != nullptr) {
        if (CWndHook* hook = HookOf(WidgetOf(m_hWnd))) {
            std::erase(hook->m_holders, this);
        }
    }
    m_hWnd = hWnd;
    if (hWnd != nullptr) {
        EnsureHook(WidgetOf(hWnd))->m_holders.push_back(this);
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) {
        return nullptr;
    }
    const QVariant v = WidgetOf(hWnd)->property(kPropWnd);
    if (!v.isValid()) {
        return nullptr;
    }
    return reinterpret_cast<CWnd*>(v.value<quintptr>());
}

void CWnd::AttachWidget(HWND hWnd) {
    SetHandle(hWnd);
    if (hWnd != nullptr) {
        WidgetOf(hWnd)->setProperty(kPropWnd,
                                    QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    }
}

BOOL CWnd::Attach(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd) {
        return FALSE;
    }
    AttachWidget(hWnd);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h != nullptr && FromHandle(h) == this) {
        WidgetOf(h)->setProperty(kPropWnd, QVariant());
    }
    SetHandle(nullptr);
    return h;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (m_hWnd) {
        return FALSE;
    }
    QWidget* parent = pParentWnd != nullptr ? WidgetOf(pParentWnd->GetSafeHwnd()) : nullptr;
    if ((dwStyle & WS_CHILD) != 0 && parent == nullptr) {
        return FALSE;
    }
    auto* w = new CWndWidget(parent);
    if (parent == nullptr && (dwExStyle & WS_EX_TOOLWINDOW) != 0) {
        w->setWindowFlag(Qt::Tool, true);  // no taskbar button
    }
    if (parent == nullptr && lpszClassName != nullptr && *lpszClassName != '\0') {
        w->setObjectName(QString::fromUtf8(lpszClassName));
    }
    if ((dwStyle & WS_POPUP) != 0 && (dwExStyle & WS_EX_NOACTIVATE) != 0) {
        // A popup that never takes activation and stays above the others: a tool tip's window.
        w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
        w->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    int edge = 0;
    if ((dwExStyle & WS_EX_CLIENTEDGE) != 0) {
        edge += 2;
    }
    if ((dwExStyle & WS_EX_STATICEDGE) != 0 || (dwStyle & WS_BORDER) != 0) {
        edge += 1;
    }
    if (edge > 0) {
        w->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        w->setLineWidth(edge);
    }
    TagWidget(w, static_cast<int>(nID), dwStyle, dwExStyle, "");
    if (lpszWindowName != nullptr) {
        w->setProperty(kPropText, QString::fromUtf8(lpszWindowName));
    }
    w->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    NameCreatedControl(w, parent);
    AttachWidget(HandleOf(w));
    SendMessage(WM_CREATE);
    if ((dwStyle & WS_VISIBLE) != 0) {
        w->show();
    }
    if ((dwStyle & WS_DISABLED) != 0) {
        w->setEnabled(false);
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    QPointer<QWidget> w = WidgetOf(m_hWnd);
    if (!w) {
        return FALSE;
    }
    // Owned top-level windows go first, as Windows destroys owned windows before their owner.
    const auto children = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isWindow()) {
            if (CWnd* owned = FromHandle(HandleOf(child))) {
                owned->DestroyWindow();
            }
        }
    }
    if (!w) {
        return TRUE;
    }
    CWnd* target = FromHandle(HandleOf(w));
    if (target == nullptr) {
        target = this;
    }
    target->SendMessage(WM_DESTROY);
    if (!w) {
        return TRUE;
    }
    // Children's window objects lose their windows with it.
    const auto all = w->findChildren<QWidget*>();
    for (QWidget* child : all) {
        if (CWnd* c = FromHandle(HandleOf(child))) {
            if (c->m_hWnd == HandleOf(child)) {
                c->SetHandle(nullptr);
            }
            child->setProperty(kPropWnd, QVariant());
        }
    }
    w->hide();
    w->setProperty(kPropWnd, QVariant());
    CWndHook* hook = HookOf(w);
    if (hook != nullptr) {
        for (auto& [id, timer] : hook->m_timers) {
            timer->stop();
        }
    }
    if (this != target) {
        SetHandle(nullptr);
    }
    target->SetHandle(nullptr);
    if (hook != nullptr && hook->m_nDispatchDepth > 0) {
        w->deleteLater();  // still inside one of its own events
    } else {
        delete w.data();
    }
    target->PostNcDestroy();
    return TRUE;
}

void CWnd::PostNcDestroy() {}

void ApplyWidgetText(QWidget* hWnd, const QString& text) {
    if (hWnd == nullptr) {
        return;
    }
    hWnd->setProperty(kPropText, text);
    if (hWnd->isWindow()) {
        hWnd->setWindowTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(hWnd)) {
        if (label->pixmap().isNull()) {
            label->setText(DisplayText(text));
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(hWnd)) {
        QString t = text;
        t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        button->setText(t);
    } else if (auto* group = qobject_cast<QGroupBox*>(hWnd)) {
        group->setTitle(text);
    } else if (auto* line = qobject_cast<QLineEdit*>(hWnd)) {
        ProgrammaticChange quiet(hWnd);
        line->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(hWnd)) {
        ProgrammaticChange quiet(hWnd);
        QString t = text;
        t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        plain->setPlainText(t);
    } else if (auto* combo = qobject_cast<QComboBox*>(hWnd)) {
        ProgrammaticChange quiet(hWnd);
        if (combo->isEditable()) {
            combo->setEditText(text);
        } else {
            const int i = combo->findText(text, Qt::MatchFixedString);
            combo->setCurrentIndex(i);
        }
    } else {
        hWnd->update();
    }
}

QString WidgetText(QWidget* hWnd) {
    if (hWnd == nullptr) {
        return QString();
    }
    if (auto* line = qobject_cast<QLineEdit*>(hWnd)) {
        return line->text();
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(hWnd)) {
        QString t = plain->toPlainText();
        t.replace(QLatin1String("\n"), QLatin1String("\r\n"));
        return t;
    }
    if (auto* combo = qobject_cast<QComboBox*>(hWnd)) {
        return combo->currentText();
    }
    return hWnd->property(kPropText).toString();
}

void CWnd::SetWindowText(LPCTSTR lpszString) {
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString != nullptr ? lpszString : ""));
}

void CWnd::SetAccessibleName(const CString& name) {
    if (m_hWnd && WidgetOf(m_hWnd)->accessibleName() != ToQt(name)) {
        WidgetOf(m_hWnd)->setAccessibleName(ToQt(name));
    }
}

void CWnd::SetAccessibleDescription(const CString& description) {
    if (m_hWnd && WidgetOf(m_hWnd)->accessibleDescription() != ToQt(description)) {
        WidgetOf(m_hWnd)->setAccessibleDescription(ToQt(description));
    }
}

HWND CWnd::GetDlgItemHwnd(int nID) const {
    if (!m_hWnd) {
        return nullptr;
    }
    const auto children = WidgetOf(m_hWnd)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const QVariant id = child->property(kPropId);
        if (id.isValid() && id.toInt() == nID && !child->isWindow()) {
            return HandleOf(child);
        }
    }
    return nullptr;
}

int CWnd::GetDlgCtrlID() const {
    return m_hWnd ? WidgetOf(m_hWnd)->property(kPropId).toInt() : 0;
}

void CWnd::SetDlgCtrlID(int nID) {
    if (m_hWnd) {
        WidgetOf(m_hWnd)->setProperty(kPropId, nID);
    }
}

CWnd* CWnd::GetParent() const {
    return m_hWnd ? FromHandle(HandleOf(WidgetOf(m_hWnd)->parentWidget())) : nullptr;
}

CWnd* CWnd::GetOwner() const {
    return m_hWnd && WidgetOf(m_hWnd)->isWindow()
               ? FromHandle(HandleOf(WidgetOf(m_hWnd)->parentWidget()))
               : nullptr;
}

void CWnd::SetOwner(CWnd* pOwnerWnd) {
    if (!m_hWnd || !WidgetOf(m_hWnd)->isWindow()) {
        return;
    }
    QWidget* w = WidgetOf(m_hWnd);
    const bool visible = w->isVisible();
    w->setParent(pOwnerWnd != nullptr ? WidgetOf(pOwnerWnd->GetSafeHwnd()) : nullptr,
                 w->windowFlags());
    if (visible) {
        w->show();
    }
}

CWnd* CWnd::GetTopLevelParent() const {
    return m_hWnd ? FromHandle(HandleOf(WidgetOf(m_hWnd)->window())) : nullptr;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (!m_hWnd) {
        return FALSE;
    }
    const BOOL wasVisible = WidgetOf(m_hWnd)->isHidden() ? FALSE : TRUE;
    if (nCmdShow == SW_HIDE) {
        WidgetOf(m_hWnd)->hide();
    } else {
        WidgetOf(m_hWnd)->show();
        if (nCmdShow == SW_SHOWNORMAL && WidgetOf(m_hWnd)->isWindow()) {
            WidgetOf(m_hWnd)->showNormal();
        }
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd && WidgetOf(m_hWnd)->isVisible() ? TRUE : FALSE;
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (!m_hWnd) {
        return FALSE;
    }
    const BOOL wasDisabled = WidgetOf(m_hWnd)->testAttribute(Qt::WA_ForceDisabled) ? TRUE : FALSE;
    WidgetOf(m_hWnd)->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_hWnd && WidgetOf(m_hWnd)->isEnabled() ? TRUE : FALSE;
}

DWORD CWnd::GetStyle() const {
    if (!m_hWnd) {
        return 0;
    }
    DWORD style = WidgetOf(m_hWnd)->property(kPropStyle).toUInt() & ~(WS_VISIBLE | WS_DISABLED);
    if (!WidgetOf(m_hWnd)->isHidden()) {
        style |= WS_VISIBLE;
    }
    if (WidgetOf(m_hWnd)->testAttribute(Qt::WA_ForceDisabled)) {
        style |= WS_DISABLED;
    }
    return style;
}

DWORD CWnd::GetExStyle() const {
    return m_hWnd ? WidgetOf(m_hWnd)->property(kPropExStyle).toUInt() : 0;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT /*nFlags*/) {
    if (!m_hWnd) {
        return FALSE;
    }
    const DWORD old = WidgetOf(m_hWnd)->property(kPropStyle).toUInt();
    const DWORD now = (old & ~dwRemove) | dwAdd;
    WidgetOf(m_hWnd)->setProperty(kPropStyle, static_cast<uint>(now));
    if (((old ^ now) & WS_DISABLED) != 0) {
        WidgetOf(m_hWnd)->setEnabled((now & WS_DISABLED) == 0);
    }
    if (((old ^ now) & WS_VISIBLE) != 0) {
        WidgetOf(m_hWnd)->setVisible((now & WS_VISIBLE) != 0);
    }
    return old != now ? TRUE : FALSE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT /*nFlags*/) {
    if (!m_hWnd) {
        return FALSE;
    }
    const DWORD old = WidgetOf(m_hWnd)->property(kPropExStyle).toUInt();
    const DWORD now = (old & ~dwRemove) | dwAdd;
    WidgetOf(m_hWnd)->setProperty(kPropExStyle, static_cast<uint>(now));
    // A transparent window lets the mouse through to what lies under it.
    WidgetOf(m_hWnd)->setAttribute(Qt::WA_TransparentForMouseEvents,
                                   (now & WS_EX_TRANSPARENT) != 0);
    return old != now ? TRUE : FALSE;
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    if (!m_hWnd || pFont == nullptr) {
        return;
    }
    WidgetOf(m_hWnd)->setFont(QtFontOf(*pFont));
    if (bRedraw) {
        WidgetOf(m_hWnd)->update();
    }
}

CFont* CWnd::GetFont() const {
    if (!m_hWnd) {
        return nullptr;
    }
    if (!m_pFont) {
        m_pFont = std::make_unique<CFont>();
    }
    SetQtFont(*m_pFont, WidgetOf(m_hWnd)->font());
    return m_pFont.get();
}

void CWnd::Invalidate(BOOL /*bErase*/) {
    if (m_hWnd) {
        WidgetOf(m_hWnd)->update();
    }
}

BOOL CWnd::RedrawWindow(const RECT* lpRectUpdate, void* /*prgnUpdate*/, UINT flags) {
    if (!m_hWnd) {
        return FALSE;
    }
    QRect area = WidgetOf(m_hWnd)->rect();
    if (lpRectUpdate != nullptr) {
        area =
            QRect(lpRectUpdate->left, lpRectUpdate->top, lpRectUpdate->right - lpRectUpdate->left,
                  lpRectUpdate->bottom - lpRectUpdate->top);
    }
    if ((flags & RDW_UPDATENOW) != 0 && WidgetOf(m_hWnd)->isVisible()) {
        WidgetOf(m_hWnd)->repaint(area);
    } else {
        WidgetOf(m_hWnd)->update(area);
    }
    return TRUE;
}

void CWnd::UpdateWindow() {
    if (m_hWnd && WidgetOf(m_hWnd)->isVisible()) {
        WidgetOf(m_hWnd)->repaint();
    }
}

BOOL CWnd::SetForegroundWindow() {
    if (!m_hWnd) {
        return FALSE;
    }
    QWidget* top = WidgetOf(m_hWnd)->window();
    g_foreground = top;
    top->raise();
    top->activateWindow();
    return TRUE;
}

void CWnd::SetFocus() {
    if (m_hWnd) {
        WidgetOf(m_hWnd)->setFocus(Qt::OtherFocusReason);
    }
}

CWnd* CWnd::GetForegroundWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (CWnd* w = FromHandle(HandleOf(modal))) {
            return w;
        }
    }
    if (QWidget* active = QApplication::activeWindow()) {
        if (CWnd* w = FromHandle(HandleOf(active))) {
            return w;
        }
    }
    if (g_foreground && g_foreground->isVisible()) {
        return FromHandle(HandleOf(g_foreground));
    }
    return nullptr;
}

void CWnd::GetClientRect(RECT* lpRect) const {
    if (lpRect == nullptr) {
        return;
    }
    *lpRect = RECT{0, 0, 0, 0};
    if (!m_hWnd) {
        return;
    }
    QSize size = WidgetOf(m_hWnd)->size();
    if (const auto* frame = qobject_cast<const QFrame*>(WidgetOf(m_hWnd))) {
        size = frame->contentsRect().size();
    }
    lpRect->right = size.width();
    lpRect->bottom = size.height();
}

void CWnd::GetWindowRect(RECT* lpRect) const {
    if (lpRect == nullptr) {
        return;
    }
    *lpRect = RECT{0, 0, 0, 0};
    if (!m_hWnd) {
        return;
    }
    const QPoint origin = WidgetOf(m_hWnd)->mapToGlobal(QPoint(0, 0));
    lpRect->left = origin.x();
    lpRect->top = origin.y();
    lpRect->right = origin.x() + WidgetOf(m_hWnd)->width();
    lpRect->bottom = origin.y() + WidgetOf(m_hWnd)->height();
}

void CWnd::ClientToScreen(POINT* lpPoint) const {
    if (lpPoint == nullptr || !m_hWnd) {
        return;
    }
    const QPoint p = WidgetOf(m_hWnd)->mapToGlobal(QPoint(lpPoint->x, lpPoint->y) +
                                                   ClientOrigin(WidgetOf(m_hWnd)));
    lpPoint->x = p.x();
    lpPoint->y = p.y();
}

void CWnd::ScreenToClient(POINT* lpPoint) const {
    if (lpPoint == nullptr || !m_hWnd) {
        return;
    }
    const QPoint p = WidgetOf(m_hWnd)->mapFromGlobal(QPoint(lpPoint->x, lpPoint->y)) -
                     ClientOrigin(WidgetOf(m_hWnd));
    lpPoint->x = p.x();
    lpPoint->y = p.y();
}

void CWnd::ClientToScreen(RECT* lpRect) const {
    if (lpRect == nullptr) {
        return;
    }
    POINT a{lpRect->left, lpRect->top};
    POINT b{lpRect->right, lpRect->bottom};
    ClientToScreen(&a);
    ClientToScreen(&b);
    *lpRect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::ScreenToClient(RECT* lpRect) const {
    if (lpRect == nullptr) {
        return;
    }
    POINT a{lpRect->left, lpRect->top};
    POINT b{lpRect->right, lpRect->bottom};
    ScreenToClient(&a);
    ScreenToClient(&b);
    *lpRect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    if (!m_hWnd) {
        return;
    }
    WidgetOf(m_hWnd)->setGeometry(x, y, nWidth, nHeight);
    if (bRepaint) {
        WidgetOf(m_hWnd)->update();
    }
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* /*lpfnTimer*/) {
    if (!m_hWnd || nIDEvent == 0) {
        return 0;
    }
    CWndHook* hook = EnsureHook(WidgetOf(m_hWnd));
    QTimer*& timer = hook->m_timers[nIDEvent];
    if (timer == nullptr) {
        timer = new QTimer(hook);
        QPointer<QWidget> w = WidgetOf(m_hWnd);
        QObject::connect(timer, &QTimer::timeout, hook, [w, nIDEvent]() {
            if (CWnd* target = FromHandle(HandleOf(w))) {
                target->FireTimer(nIDEvent);
            }
        });
    }
    timer->start(static_cast<int>(std::max<UINT>(nElapse, 10)));
    timer->setProperty("zelPeriod", nElapse);
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    CWndHook* hook = HookOf(WidgetOf(m_hWnd));
    if (hook == nullptr) {
        return FALSE;
    }
    auto it = hook->m_timers.find(nIDEvent);
    if (it == hook->m_timers.end()) {
        return FALSE;
    }
    it->second->stop();
    it->second->deleteLater();
    hook->m_timers.erase(it);
    return TRUE;
}

UINT CWnd::GetTimerPeriod(UINT_PTR nIDEvent) const {
    CWndHook* hook = HookOf(WidgetOf(m_hWnd));
    if (hook == nullptr) {
        return 0;
    }
    auto it = hook->m_timers.find(nIDEvent);
    if (it == hook->m_timers.end() || !it->second->isActive()) {
        return 0;
    }
    return it->second->property("zelPeriod").toUInt();
}
