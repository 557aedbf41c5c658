#include "app/framework/controls.h"

#include <QListWidget>

#include "app/framework/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/wnd_internal.h"

namespace {

QListWidget* ListOf(const CWnd* w) {
    return qobject_cast<QListWidget*>(w->GetSafeHwnd());
}

}  // namespace

QWidget* MakeListBox(const DialogItemTemplate& item, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy((item.dwStyle & WS_VSCROLL) != 0 ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if ((item.dwStyle & WS_BORDER) == 0 && (item.dwExStyle & WS_EX_CLIENTEDGE) == 0) {
        list->setFrameStyle(QFrame::NoFrame);
    }
    if ((item.dwStyle & LBS_NOTIFY) != 0) {
        QObject::connect(list, &QListWidget::currentRowChanged, list,
                         [list](int) { NotifyParentCommand(list, LBN_SELCHANGE); });
        QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                         [list](QListWidgetItem*) { NotifyParentCommand(list, LBN_DBLCLK); });
    }
    return list;
}

int CListBox::AddString(LPCTSTR lpszItem) {
    return AddString(QString::fromUtf8(lpszItem != nullptr ? lpszItem : ""));
}

int CListBox::AddString(const QString& item) {
    QListWidget* list = ListOf(this);
    if (list == nullptr) {
        return LB_ERR;
    }
    ProgrammaticChange quiet(list);
    int index = list->count();
    if ((GetStyle() & LBS_SORT) != 0) {
        index = SortedIndex(
            list->count(), [list](int i) { return list->item(i)->text(); }, item);
    }
    list->insertItem(index, item);
    return index;
}

int CListBox::InsertString(int nIndex, LPCTSTR lpszItem) {
    QListWidget* list = ListOf(this);
    if (list == nullptr || nIndex > list->count()) {
        return LB_ERR;
    }
    ProgrammaticChange quiet(list);
    const int index = nIndex < 0 ? list->count() : nIndex;
    list->insertItem(index, QString::fromUtf8(lpszItem != nullptr ? lpszItem : ""));
    return index;
}

int CListBox::DeleteString(UINT nIndex) {
    QListWidget* list = ListOf(this);
    if (list == nullptr || static_cast<int>(nIndex) >= list->count()) {
        return LB_ERR;
    }
    ProgrammaticChange quiet(list);
    delete list->takeItem(static_cast<int>(nIndex));
    return list->count();
}

void CListBox::ResetContent() {
    if (QListWidget* list = ListOf(this)) {
        ProgrammaticChange quiet(list);
        list->clear();
    }
}

int CListBox::GetCount() const {
    QListWidget* list = ListOf(this);
    return list != nullptr ? list->count() : LB_ERR;
}

int CListBox::GetCurSel() const {
    QListWidget* list = ListOf(this);
    if (list == nullptr) {
        return LB_ERR;
    }
    const int row = list->currentRow();
    return row >= 0 && list->item(row)->isSelected() ? row : LB_ERR;
}

int CListBox::SetCurSel(int nSelect) {
    QListWidget* list = ListOf(this);
    if (list == nullptr) {
        return LB_ERR;
    }
    ProgrammaticChange quiet(list);
    if (nSelect < 0 || nSelect >= list->count()) {
        list->setCurrentRow(-1);
        list->clearSelection();
        return LB_ERR;
    }
    list->setCurrentRow(nSelect);
    return nSelect;
}

int CListBox::GetText(int nIndex, CString& rString) const {
    QListWidget* list = ListOf(this);
    if (list == nullptr || nIndex < 0 || nIndex >= list->count()) {
        rString.clear();
        return LB_ERR;
    }
    rString = list->item(nIndex)->text();
    return rString.GetLength();
}

int CListBox::GetTextLen(int nIndex) const {
    CString s;
    return GetText(nIndex, s);
}

int CListBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    QListWidget* list = ListOf(this);
    if (list == nullptr || lpszFind == nullptr) {
        return LB_ERR;
    }
    const QString find = QString::fromUtf8(lpszFind);
    const int n = list->count();
    for (int k = 1; k <= n; ++k) {
        const int i = (nIndexStart + k + n) % n;  // searches after nIndexStart, wrapping
        if (CompareItems(list->item(i)->text(), find) == 0) {
            return i;
        }
    }
    return LB_ERR;
}

int CListBox::SetItemData(int nIndex, DWORD dwItemData) {
    QListWidget* list = ListOf(this);
    if (list == nullptr || nIndex < 0 || nIndex >= list->count()) {
        return LB_ERR;
    }
    list->item(nIndex)->setData(Qt::UserRole, static_cast<uint>(dwItemData));
    return 0;
}

DWORD CListBox::GetItemData(int nIndex) const {
    QListWidget* list = ListOf(this);
    if (list == nullptr || nIndex < 0 || nIndex >= list->count()) {
        return static_cast<DWORD>(LB_ERR);
    }
    return list->item(nIndex)->data(Qt::UserRole).toUInt();
}
