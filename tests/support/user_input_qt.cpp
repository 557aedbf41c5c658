// The person's input over Qt: events go to the widget a real pointer or keyboard would reach,
// through the application's event delivery; assistive actions go through QAccessible.
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QListWidget>
#include <QTabBar>
#include <QTest>

#include "app/framework/qt/wnd_internal.h"
#include "tests/support/user_input.h"

namespace {

// The innermost visible widget under a point of w, and the point in its own coordinates.
QWidget* WidgetAt(QWidget* w, QPoint& pos) {
    QWidget* child = w->childAt(pos);
    if (child == nullptr) {
        return w;
    }
    pos = child->mapFrom(w, pos);
    return child;
}

QPoint ItemCentre(QWidget* w, int nIndex) {
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->scrollToItem(list->item(nIndex));  // the person scrolls to the line first
        const QRect r = list->visualItemRect(list->item(nIndex));
        return list->viewport()->mapTo(list, r.center());
    }
    if (auto* bar = w->findChild<QTabBar*>()) {
        return bar->mapTo(w, bar->tabRect(nIndex).center());
    }
    return w->rect().center();
}

Qt::Key QtKey(UINT vk, bool bShift) {
    switch (vk) {
        case user::kTab:
            return bShift ? Qt::Key_Backtab : Qt::Key_Tab;
        case user::kReturn:
            return Qt::Key_Return;
        case user::kEscape:
            return Qt::Key_Escape;
        case user::kSpace:
            return Qt::Key_Space;
        case user::kPageUp:
            return Qt::Key_PageUp;
        case user::kPageDown:
            return Qt::Key_PageDown;
        case user::kEnd:
            return Qt::Key_End;
        case user::kHome:
            return Qt::Key_Home;
        case user::kLeft:
            return Qt::Key_Left;
        case user::kUp:
            return Qt::Key_Up;
        case user::kRight:
            return Qt::Key_Right;
        case user::kDown:
            return Qt::Key_Down;
        default:
            return static_cast<Qt::Key>(vk);  // letters and digits share their codes
    }
}

// The widget that takes keys for w: a tab control's row.
QWidget* KeyTarget(QWidget* w) {
    if (auto* bar = w->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly)) {
        return bar;
    }
    return w;
}

QAccessibleInterface* Accessible(QWidget* w) {
    return w != nullptr ? QAccessible::queryAccessibleInterface(w) : nullptr;
}

}  // namespace

namespace user {

void Click(HWND hWnd) {
    ClickAt(hWnd, POINT{WidgetOf(hWnd)->width() / 2, WidgetOf(hWnd)->height() / 2});
}

void ClickAt(HWND hWnd, POINT client) {
    QPoint pos(client.x, client.y);
    QWidget* target = WidgetAt(WidgetOf(hWnd), pos);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, pos);
}

void ClickItem(HWND hWnd, int nIndex) {
    const QPoint p = ItemCentre(WidgetOf(hWnd), nIndex);
    ClickAt(hWnd, POINT{p.x(), p.y()});
}

void Key(HWND hWnd, UINT nVirtualKey, bool bCtrl, bool bShift) {
    QWidget* target = KeyTarget(WidgetOf(hWnd));
    QApplication::setActiveWindow(target->window());
    target->setFocus(Qt::OtherFocusReason);
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    mods.setFlag(Qt::ControlModifier, bCtrl);
    mods.setFlag(Qt::ShiftModifier, bShift);
    const bool character =
        (nVirtualKey >= '0' && nVirtualKey <= '9') || (nVirtualKey >= 'A' && nVirtualKey <= 'Z');
    if (character && !bCtrl) {
        QTest::keyClick(target, static_cast<char>(bShift ? nVirtualKey : nVirtualKey | 0x20));
    } else {
        QTest::keyClick(target, QtKey(nVirtualKey, bShift), mods);
    }
}

void Type(HWND hWnd, const char* lpszText) {
    QWidget* target =
        WidgetOf(hWnd)->focusProxy() != nullptr ? WidgetOf(hWnd)->focusProxy() : WidgetOf(hWnd);
    QApplication::setActiveWindow(target->window());
    target->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(target, QString::fromUtf8(lpszText));
}

void CloseBox(HWND hWnd) {
    WidgetOf(hWnd)->close();
}

bool Act(HWND hWnd, const char* lpszAction) {
    QAccessibleInterface* iface = Accessible(WidgetOf(hWnd));
    QAccessibleActionInterface* actions = iface != nullptr ? iface->actionInterface() : nullptr;
    const QString name = QString::fromUtf8(lpszAction);
    if (actions == nullptr || !actions->actionNames().contains(name)) {
        return false;
    }
    actions->doAction(name);
    // What the action posted (a click) is delivered before the person's next step.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    return true;
}

bool Choose(HWND hWnd, int nIndex) {
    if (auto* bar = WidgetOf(hWnd)->findChild<QTabBar*>()) {
        QAccessibleInterface* tab =
            Accessible(bar) != nullptr ? Accessible(bar)->child(nIndex) : nullptr;
        if (tab == nullptr || tab->actionInterface() == nullptr) {
            return false;
        }
        tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        return true;
    }
    QAccessibleInterface* iface = Accessible(WidgetOf(hWnd));
    QAccessibleTableInterface* table = iface != nullptr ? iface->tableInterface() : nullptr;
    QAccessibleInterface* cell = table != nullptr ? table->cellAt(nIndex, 0) : nullptr;
    if (cell == nullptr || cell->actionInterface() == nullptr) {
        return false;
    }
    if (!cell->tableCellInterface()->isSelected()) {
        cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    }
    return true;
}

bool SetValue(HWND hWnd, int nValue) {
    QAccessibleInterface* iface = Accessible(WidgetOf(hWnd));
    if (iface == nullptr || iface->valueInterface() == nullptr) {
        return false;
    }
    iface->valueInterface()->setCurrentValue(nValue);
    return true;
}

CString AccessibleName(HWND hWnd) {
    QAccessibleInterface* iface = Accessible(WidgetOf(hWnd));
    return iface != nullptr ? CString(iface->text(QAccessible::Name).toStdString()) : CString();
}

CString AccessibleDescription(HWND hWnd) {
    QAccessibleInterface* iface = Accessible(WidgetOf(hWnd));
    return iface != nullptr ? CString(iface->text(QAccessible::Description).toStdString())
                            : CString();
}

}  // namespace user
