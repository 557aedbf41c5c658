#include "app/framework/controls.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <utility>

#include "app/framework/qt/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/qt/text_cell.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

QListWidget* ListOf(const CWnd* w) {
    return qobject_cast<QListWidget*>(WidgetOf(w->GetSafeHwnd()));
}

// Lines are one character cell of the list's font high, as the system's list box has them.
class CellHighLines : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(CellOf(option.font).Height());
        return size;
    }
};

// A list box reports a pointer's choice when the button comes up, whether or not the line was
// already the selection, as Windows does; keys, type-ahead and assistive tools report changes of
// the selection as they happen.
class ListBoxWidget : public QListWidget {
public:
    ListBoxWidget(QWidget* parent, bool bWholeLines)
        : QListWidget(parent), m_bWholeLines(bWholeLines) {
        setItemDelegate(new CellHighLines(this));
    }
    bool m_bPointerChoosing = false;

protected:
    // Unless its style says otherwise, the system's list box is as high as the whole lines that
    // fit in the height it is given, so that no line shows in part.
    void resizeEvent(QResizeEvent* event) override {
        QListWidget::resizeEvent(event);
        if (!m_bFitting) {
            m_nAskedHeight = height();
        }
        FitWholeLines();
    }
    void changeEvent(QEvent* event) override {
        QListWidget::changeEvent(event);
        if (event->type() == QEvent::FontChange) {
            FitWholeLines();
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        m_bPointerChoosing = event->button() == Qt::LeftButton && itemAt(event->pos()) != nullptr;
        QListWidget::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QListWidget::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && std::exchange(m_bPointerChoosing, false)) {
            NotifyParentCommand(this, LBN_SELCHANGE);  // the last thing done here
        }
    }

private:
    void FitWholeLines() {
        const int line = CellOf(font()).Height();
        if (!m_bWholeLines || line <= 0 || m_nAskedHeight <= 0) {
            return;
        }
        const int edges = 2 * frameWidth();
        const int fitted = edges + std::max(1, (m_nAskedHeight - edges) / line) * line;
        if (fitted != height()) {
            m_bFitting = true;
            resize(width(), fitted);
            m_bFitting = false;
        }
    }

    const bool m_bWholeLines;
    bool m_bFitting = false;
    int m_nAskedHeight = 0;
};

}  // namespace

QWidget* MakeListBox(const DialogItemTemplate& item, QWidget* parent) {
    auto* list = new ListBoxWidget(parent, (item.dwStyle & LBS_NOINTEGRALHEIGHT) == 0);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy((item.dwStyle & WS_VSCROLL) != 0 ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if ((item.dwStyle & WS_BORDER) == 0 && (item.dwExStyle & WS_EX_CLIENTEDGE) == 0) {
        list->setFrameStyle(QFrame::NoFrame);
    }
    if ((item.dwStyle & LBS_NOTIFY) != 0) {
        // The selection, not the current row: a click, a key, type-ahead and an assistive tool's
        // selection all change it, and the tool's does so without moving the current row. A
        // person cannot leave a list without a selection, so the tool's first step (clearing the
        // old one) is no change of its own.
        QObject::connect(list, &QListWidget::itemSelectionChanged, list, [list]() {
            const QList<QListWidgetItem*> selected = list->selectedItems();
            if (ProgrammaticChange::Active(list) || selected.isEmpty()) {
                return;
            }
            if (list->currentItem() != selected.first()) {
                ProgrammaticChange quiet(list);
                list->setCurrentItem(selected.first(), QItemSelectionModel::NoUpdate);
            }
            if (!list->m_bPointerChoosing) {
                NotifyParentCommand(list, LBN_SELCHANGE);
            }
        });
        QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                         [list](QListWidgetItem*) { NotifyParentCommand(list, LBN_DBLCLK); });
    }
    return list;
}

int CListBox::AddString(LPCTSTR lpszItem) {
    const QString item = QString::fromUtf8(lpszItem != nullptr ? lpszItem : "");
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
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? LB_ERR : list->row(selected.first());
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
        rString.Empty();
        return LB_ERR;
    }
    rString = FromQt(list->item(nIndex)->text());
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
