#include "app/framework/controls.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include "app/framework/qt/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

// The tab control: a tab row over a framed panel; the dialog's other controls lie on top.
class TabControlWidget : public QWidget {
public:
    explicit TabControlWidget(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)) {
        m_bar->setDrawBase(false);
        m_bar->setExpanding(false);
        // A click on a tab gives the row the focus, so that the arrow keys move on from there.
        m_bar->setFocusPolicy(Qt::StrongFocus);
        m_bar->move(2, 0);
    }
    QTabBar* Bar() const { return m_bar; }

protected:
    void resizeEvent(QResizeEvent*) override { m_bar->resize(m_bar->sizeHint()); }
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionTabWidgetFrame opt;
        opt.initFrom(this);
        const int top = m_bar->sizeHint().height() - 1;
        opt.rect = QRect(0, top, width(), height() - top);
        opt.tabBarSize = m_bar->sizeHint();
        opt.tabBarRect = m_bar->geometry();
        opt.shape = QTabBar::RoundedNorth;
        painter.drawPrimitive(QStyle::PE_FrameTabWidget, opt);
        // The page inside the frame is the dialog's face, as the system's tab control has it,
        // so the labels and pictures on it sit on one colour.
        painter.fillRect(opt.rect.adjusted(1, 1, -1, -1), palette().window());
    }

private:
    QTabBar* m_bar;
};

QTabBar* TabBarOf(QWidget* w) {
    auto* tab = dynamic_cast<TabControlWidget*>(w);
    return tab != nullptr ? tab->Bar() : nullptr;
}

}  // namespace

QWidget* MakeTabControl(const DialogItemTemplate&, QWidget* parent) {
    auto* tab = new TabControlWidget(parent);
    QObject::connect(tab->Bar(), &QTabBar::currentChanged, tab,
                     [tab](int) { NotifyParent(tab, TCN_SELCHANGE); });
    return tab;
}

bool StepTabControl(QWidget* dialog, bool bForward) {
    const auto children = dialog->findChildren<QWidget*>();
    for (QWidget* tab : children) {
        QTabBar* bar = TabBarOf(tab);
        if (bar == nullptr) {
            continue;
        }
        if (tab->window() != dialog || !tab->isVisible() || !tab->isEnabled() || bar->count() < 2) {
            continue;
        }
        const int n = bar->count();
        bar->setCurrentIndex((bar->currentIndex() + (bForward ? 1 : n - 1)) % n);
        return true;
    }
    return false;
}

int CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    QTabBar* bar = TabBarOf(WidgetOf(m_hWnd));
    if (bar == nullptr || nItem < 0) {
        return -1;
    }
    ProgrammaticChange quiet(WidgetOf(m_hWnd));
    const int index = bar->insertTab(std::min(nItem, bar->count()),
                                     DisplayText(QString::fromUtf8(lpszItem ? lpszItem : "")));
    bar->resize(bar->sizeHint());
    return index;
}

BOOL CTabCtrl::DeleteItem(int nItem) {
    QTabBar* bar = TabBarOf(WidgetOf(m_hWnd));
    if (bar == nullptr || nItem < 0 || nItem >= bar->count()) {
        return FALSE;
    }
    ProgrammaticChange quiet(WidgetOf(m_hWnd));
    bar->removeTab(nItem);
    return TRUE;
}

BOOL CTabCtrl::DeleteAllItems() {
    QTabBar* bar = TabBarOf(WidgetOf(m_hWnd));
    if (bar == nullptr) {
        return FALSE;
    }
    ProgrammaticChange quiet(WidgetOf(m_hWnd));
    while (bar->count() > 0) {
        bar->removeTab(0);
    }
    return TRUE;
}

int CTabCtrl::GetItemCount() const {
    QTabBar* bar = TabBarOf(WidgetOf(m_hWnd));
    return bar != nullptr ? bar->count() : 0;
}

int CTabCtrl::GetCurSel() const {
    QTabBar* bar = TabBarOf(WidgetOf(m_hWnd));
    return bar != nullptr ? bar->currentIndex() : -1;
}

int CTabCtrl::SetCurSel(int nItem) {
    QTabBar* bar = TabBarOf(WidgetOf(m_hWnd));
    if (bar == nullptr || nItem < 0 || nItem >= bar->count()) {
        return -1;
    }
    ProgrammaticChange quiet(WidgetOf(m_hWnd));
    const int old = bar->currentIndex();
    bar->setCurrentIndex(nItem);
    return old;
}

CString CTabCtrl::GetItemText(int nItem) const {
    QTabBar* bar = TabBarOf(WidgetOf(m_hWnd));
    if (bar == nullptr || nItem < 0 || nItem >= bar->count()) {
        return CString();
    }
    return FromQt(bar->tabText(nItem));
}
