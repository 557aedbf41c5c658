#include "app/framework/controls.h"

#include <QComboBox>
#include <QLineEdit>

#include "app/framework/qt/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

QComboBox* ComboOf(const CWnd* w) {
    return qobject_cast<QComboBox*>(WidgetOf(w->GetSafeHwnd()));
}

}  // namespace

QWidget* MakeComboBox(const DialogItemTemplate& item, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    const DWORD type = item.dwStyle & 0x3;
    combo->setEditable(type == CBS_DROPDOWN || type == CBS_SIMPLE);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCurrentIndex(-1);
    QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), combo,
                     [combo](int) { NotifyParentCommand(combo, CBN_SELCHANGE); });
    if (combo->lineEdit() != nullptr) {
        QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo,
                         [combo](const QString&) { NotifyParentCommand(combo, CBN_EDITCHANGE); });
    }
    return combo;
}

int CComboBox::AddString(LPCTSTR lpszString) {
    const QString item = QString::fromUtf8(lpszString != nullptr ? lpszString : "");
    QComboBox* combo = ComboOf(this);
    if (combo == nullptr) {
        return CB_ERR;
    }
    ProgrammaticChange quiet(combo);
    const QString edit = combo->currentText();
    const int cur = combo->currentIndex();
    int index = combo->count();
    if ((GetStyle() & CBS_SORT) != 0) {
        index = SortedIndex(
            combo->count(), [combo](int i) { return combo->itemText(i); }, item);
    }
    combo->insertItem(index, item);
    // Adding a string changes neither the selection nor the edit field.
    if (cur < 0) {
        combo->setCurrentIndex(-1);
    }
    if (combo->isEditable()) {
        combo->setEditText(edit);
    }
    return index;
}

int CComboBox::InsertString(int nIndex, LPCTSTR lpszString) {
    QComboBox* combo = ComboOf(this);
    if (combo == nullptr || nIndex > combo->count()) {
        return CB_ERR;
    }
    ProgrammaticChange quiet(combo);
    const QString edit = combo->currentText();
    const int index = nIndex < 0 ? combo->count() : nIndex;
    const int cur = combo->currentIndex();
    combo->insertItem(index, QString::fromUtf8(lpszString != nullptr ? lpszString : ""));
    if (cur < 0) {
        combo->setCurrentIndex(-1);
    }
    if (combo->isEditable()) {
        combo->setEditText(edit);
    }
    return index;
}

int CComboBox::DeleteString(UINT nIndex) {
    QComboBox* combo = ComboOf(this);
    if (combo == nullptr || static_cast<int>(nIndex) >= combo->count()) {
        return CB_ERR;
    }
    ProgrammaticChange quiet(combo);
    combo->removeItem(static_cast<int>(nIndex));
    return combo->count();
}

void CComboBox::ResetContent() {
    if (QComboBox* combo = ComboOf(this)) {
        ProgrammaticChange quiet(combo);
        combo->clear();
    }
}

int CComboBox::GetCount() const {
    QComboBox* combo = ComboOf(this);
    return combo != nullptr ? combo->count() : CB_ERR;
}

int CComboBox::GetCurSel() const {
    QComboBox* combo = ComboOf(this);
    return combo != nullptr && combo->currentIndex() >= 0 ? combo->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int nSelect) {
    QComboBox* combo = ComboOf(this);
    if (combo == nullptr) {
        return CB_ERR;
    }
    ProgrammaticChange quiet(combo);
    if (nSelect < 0 || nSelect >= combo->count()) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable()) {
            combo->setEditText(QString());
        }
        return CB_ERR;
    }
    combo->setCurrentIndex(nSelect);
    return nSelect;
}

int CComboBox::GetLBText(int nIndex, CString& rString) const {
    QComboBox* combo = ComboOf(this);
    if (combo == nullptr || nIndex < 0 || nIndex >= combo->count()) {
        rString.Empty();
        return CB_ERR;
    }
    rString = FromQt(combo->itemText(nIndex));
    return rString.GetLength();
}

int CComboBox::GetLBTextLen(int nIndex) const {
    CString s;
    return GetLBText(nIndex, s);
}

int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    QComboBox* combo = ComboOf(this);
    if (combo == nullptr || lpszFind == nullptr || combo->count() == 0) {
        return CB_ERR;
    }
    const QString find = QString::fromUtf8(lpszFind);
    const int n = combo->count();
    for (int k = 1; k <= n; ++k) {
        const int i = (nIndexStart + k + n) % n;
        if (CompareItems(combo->itemText(i), find) == 0) {
            return i;
        }
    }
    return CB_ERR;
}

int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString) {
    QComboBox* combo = ComboOf(this);
    if (combo == nullptr || lpszString == nullptr) {
        return CB_ERR;
    }
    const QString prefix = QString::fromUtf8(lpszString);
    const int n = combo->count();
    for (int k = 1; k <= n; ++k) {
        const int i = (nStartAfter + k + n) % n;
        if (combo->itemText(i).startsWith(prefix, Qt::CaseInsensitive)) {
            return SetCurSel(i);
        }
    }
    return CB_ERR;
}
