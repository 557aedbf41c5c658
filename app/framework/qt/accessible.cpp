// What assistive technology sees of the window layer's widgets: names for controls that have no
// text of their own, and the Press action of the statics that report clicks.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <string_view>
#include <vector>

#include "app/framework/dialog_template.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

bool IsNotifyingStatic(const QWidget* w) {
    return w != nullptr && !w->isWindow() &&
           w->property(kPropClass).toByteArray() == kClassStatic &&
           (w->property(kPropStyle).toUInt() & SS_NOTIFY) != 0;
}

bool IsPushButton(const QWidget* w) {
    return qobject_cast<const QPushButton*>(w) != nullptr &&
           w->property(kPropClass).toByteArray() == kClassButton;
}

// The widget a pointer at the centre of w would reach: w itself, or what lies under w when w
// lets the mouse through (a chart drawn over the static that takes its clicks).
QWidget* ClickTarget(QWidget* w) {
    QWidget* parent = w->parentWidget();
    if (!w->testAttribute(Qt::WA_TransparentForMouseEvents) || parent == nullptr) {
        return w;
    }
    return parent->childAt(w->geometry().center());
}

// A click at the centre of w, as the person's pointer would make it.
void ClickInTheMiddle(QPointer<QWidget> w) {
    const QPointF centre = QRectF(w->rect()).center();
    const QPointF global = w->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    if (w) {
        QApplication::sendEvent(w, &release);
    }
}

// A framework static or self-drawn window as assistive technology sees it. Press clicks it in
// the middle, the way the person's pointer would, so the parent hears the same STN_CLICKED.
class FrameworkAccessible : public QAccessibleWidget {
public:
    FrameworkAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return DisplayText(widget()->property(kPropText).toString());
        }
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (IsPushButton(widget()) || IsNotifyingStatic(ClickTarget(widget()))) {
            names.prepend(pressAction());
        }
        return names;
    }
    void doAction(const QString& action) override {
        QWidget* target = ClickTarget(widget());
        const bool button = IsPushButton(target);
        if (action != pressAction() || (!button && !IsNotifyingStatic(target)) ||
            !target->isEnabled()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // Posted, as a click message would be: the tool gets its answer at once even when the
        // click opens a modal dialog, and the click comes without Qt's animated press.
        QPointer<QWidget> guard(target);
        QMetaObject::invokeMethod(
            target,
            [guard, button]() {
                if (guard && button) {
                    static_cast<QAbstractButton*>(guard.data())->click();
                } else if (guard) {
                    ClickInTheMiddle(guard);
                }
            },
            Qt::QueuedConnection);
    }
};

// Push buttons, pictures, notifying statics and self-drawn windows get ours; everything else,
// plain text labels included, keeps Qt's own.
QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (!object->isWidgetType() || !object->property(kPropClass).isValid()) {
        return nullptr;
    }
    auto* w = static_cast<QWidget*>(object);
    if (IsPushButton(w)) {
        return new FrameworkAccessible(w, QAccessible::PushButton);
    }
    const QByteArray cls = w->property(kPropClass).toByteArray();
    if (w->isWindow() || (cls != kClassStatic && !cls.isEmpty())) {
        return nullptr;
    }
    const DWORD type = w->property(kPropStyle).toUInt() & SS_TYPEMASK;
    const bool text = cls == kClassStatic && type != SS_BITMAP && type != SS_ICON &&
                      type != SS_BLACKRECT && type != SS_GRAYRECT && type != SS_WHITERECT;
    if (text && !IsNotifyingStatic(w)) {
        return nullptr;
    }
    return new FrameworkAccessible(w, text ? QAccessible::StaticText : QAccessible::Graphic);
}

}  // namespace

void InstallAccessibleFactory(QWidget* tagged) {
    static const bool installed = (QAccessible::installFactory(&Factory), true);
    (void)installed;
    // With a screen reader listening, Qt may have made the widget's interface before it was
    // tagged as ours; the next query then asks the factory again.
    if (QAccessible::isActive()) {
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(tagged)) {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
        }
    }
}

void NameDialogControls(const DialogTemplate& tmpl, const std::vector<QWidget*>& controls) {
    // A screen reader names a control without text by the nearest label before it in the
    // dialog's order; pictures and labels themselves are named only where the program says.
    QString label;
    for (std::size_t i = 0; i < tmpl.nItems && i < controls.size(); ++i) {
        const DialogItemTemplate& item = tmpl.pItems[i];
        const QString text = DisplayText(QString::fromUtf8(item.lpszText)).simplified();
        if (const char* name = FindAccessibleName(tmpl.nID, item.nID)) {
            controls[i]->setAccessibleName(QString::fromUtf8(name));
        } else if (std::string_view(item.lpszClass) != kClassStatic && text.isEmpty() &&
                   !label.isEmpty()) {
            controls[i]->setAccessibleName(label);
        }
        if (std::string_view(item.lpszClass) == kClassStatic && !text.isEmpty()) {
            label = text;
        }
    }
}

void NameCreatedControl(QWidget* control, QWidget* parent) {
    if (parent == nullptr || !parent->property(kPropTemplate).isValid()) {
        return;
    }
    const char* name = FindAccessibleName(parent->property(kPropTemplate).toUInt(),
                                          control->property(kPropId).toInt());
    if (name != nullptr) {
        control->setAccessibleName(QString::fromUtf8(name));
    }
}
