#include "app/framework/controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/framework/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/wnd_internal.h"

// Push buttons, check boxes, radio buttons and group boxes.

QWidget* MakeButton(const DialogItemTemplate& item, QWidget* parent) {
    const QString text = QString::fromUtf8(item.lpszText);
    const DWORD type = item.dwStyle & BS_TYPEMASK;
    QWidget* w = nullptr;
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
        auto* push = new QPushButton(text, parent);
        // Enter is the dialog's business, not the button's.
        push->setAutoDefault(false);
        push->setDefault(false);
        button = push;
    }
    const bool manualCheck = type == BS_CHECKBOX || type == BS_3STATE;
    QObject::connect(button, &QAbstractButton::clicked, button, [button, manualCheck](bool) {
        if (manualCheck) {
            // A plain check box changes only when the program says so.
            ProgrammaticChange quiet(button);
            button->setChecked(!button->isChecked());
        }
        NotifyParentCommand(button, BN_CLICKED);
    });
    w = button;
    return w;
}

int CButton::GetCheck() const {
    auto* check = qobject_cast<QCheckBox*>(m_hWnd.data());
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
    auto* button = qobject_cast<QAbstractButton*>(m_hWnd.data());
    return button != nullptr && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck) {
    ProgrammaticChange quiet(m_hWnd);
    if (auto* check = qobject_cast<QCheckBox*>(m_hWnd.data())) {
        check->setCheckState(nCheck == BST_CHECKED         ? Qt::Checked
                             : nCheck == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                           : Qt::Unchecked);
    } else if (auto* button = qobject_cast<QAbstractButton*>(m_hWnd.data())) {
        if (button->isCheckable()) {
            button->setChecked(nCheck == BST_CHECKED);
        }
    }
}

UINT CButton::GetState() const {
    auto* button = qobject_cast<QAbstractButton*>(m_hWnd.data());
    UINT state = static_cast<UINT>(GetCheck());
    if (button != nullptr && button->isDown()) {
        state |= 0x0004;  // BST_PUSHED
    }
    if (m_hWnd && m_hWnd->hasFocus()) {
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
