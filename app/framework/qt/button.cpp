#include "app/framework/controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/framework/qt/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/qt/wnd_internal.h"

// Push buttons, check boxes, radio buttons and group boxes.

namespace {

// Its own class, so that assistive technology asks the framework for its interface first.
class PushButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
};

constexpr const char* kPropMark = "zelMark";        // a plain check box's mark as last set
constexpr const char* kPropToggled = "zelToggled";  // this press already reported its toggle

Qt::CheckState CheckStateOf(int nCheck) {
    return nCheck == BST_CHECKED         ? Qt::Checked
           : nCheck == BST_INDETERMINATE ? Qt::PartiallyChecked
                                         : Qt::Unchecked;
}

// Every way a person operates a button reaches the parent as one BN_CLICKED: a mouse click, Space,
// and an assistive tool's Press. A check mark that changes reports at once, since a tool's Toggle
// changes it with no click at all; the click that follows a mouse or key toggle stays quiet.
void WireClicks(QAbstractButton* button, bool bPlainCheck) {
    auto toggled = [button, bPlainCheck]() {
        if (ProgrammaticChange::Active(button)) {
            return;
        }
        if (bPlainCheck) {
            // A plain check box keeps its mark until the program changes it.
            ProgrammaticChange quiet(button);
            static_cast<QCheckBox*>(button)->setCheckState(
                static_cast<Qt::CheckState>(button->property(kPropMark).toInt()));
        }
        button->setProperty(kPropToggled, true);
        NotifyParentCommand(button, BN_CLICKED);
    };
    if (auto* check = qobject_cast<QCheckBox*>(button)) {
        check->setProperty(kPropMark, static_cast<int>(Qt::Unchecked));
        QObject::connect(check, &QCheckBox::stateChanged, check, [toggled](int) { toggled(); });
    } else if (button->isCheckable()) {
        // A radio button reports being chosen, not the neighbour it released.
        QObject::connect(button, &QAbstractButton::toggled, button, [toggled](bool bOn) {
            if (bOn) {
                toggled();
            }
        });
    }
    QObject::connect(button, &QAbstractButton::pressed, button,
                     [button]() { button->setProperty(kPropToggled, false); });
    QObject::connect(button, &QAbstractButton::clicked, button, [button](bool) {
        if (!button->property(kPropToggled).toBool()) {
            NotifyParentCommand(button, BN_CLICKED);
        }
        button->setProperty(kPropToggled, false);
    });
}

}  // namespace

QWidget* MakeButton(const DialogItemTemplate& item, QWidget* parent) {
    const QString text = QString::fromUtf8(item.lpszText);
    const DWORD type = item.dwStyle & BS_TYPEMASK;
    if (type == BS_GROUPBOX) {
        return new QGroupBox(text, parent);
    }
    QAbstractButton* button = nullptr;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
        type == BS_AUTO3STATE) {
        auto* check = new QCheckBox(text, parent);
        check->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
        button = check;
    } else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        button = new QRadioButton(text, parent);
    } else {
        auto* push = new PushButton(text, parent);
        // Enter is the dialog's business, not the button's.
        push->setAutoDefault(false);
        push->setDefault(false);
        button = push;
    }
    WireClicks(button, type == BS_CHECKBOX || type == BS_3STATE);
    return button;
}

int CButton::GetCheck() const {
    auto* check = qobject_cast<QCheckBox*>(WidgetOf(m_hWnd));
    if (check != nullptr) {
        switch (check->checkState()) {
            case Qt::Checked:
                return BST_CHECKED;
            case Qt::PartiallyChecked:
                return BST_INDETERMINATE;
            default:
                return BST_UNCHECKED;
        }
    }
    auto* button = qobject_cast<QAbstractButton*>(WidgetOf(m_hWnd));
    return button != nullptr && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck) {
    ProgrammaticChange quiet(WidgetOf(m_hWnd));
    if (auto* check = qobject_cast<QCheckBox*>(WidgetOf(m_hWnd))) {
        check->setProperty(kPropMark, static_cast<int>(CheckStateOf(nCheck)));
        check->setCheckState(CheckStateOf(nCheck));
    } else if (auto* button = qobject_cast<QAbstractButton*>(WidgetOf(m_hWnd))) {
        if (button->isCheckable()) {
            button->setChecked(nCheck == BST_CHECKED);
        }
    }
}

UINT CButton::GetState() const {
    auto* button = qobject_cast<QAbstractButton*>(WidgetOf(m_hWnd));
    UINT state = static_cast<UINT>(GetCheck());
    if (button != nullptr && button->isDown()) {
        state |= 0x0004;  // BST_PUSHED
    }
    if (m_hWnd && WidgetOf(m_hWnd)->hasFocus()) {
        state |= 0x0008;  // BST_FOCUS
    }
    return state;
}

void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) {
    ModifyStyle(BS_TYPEMASK, nStyle & BS_TYPEMASK);
    if (bRedraw) {
        Invalidate();
    }
}

#include "button.moc"
