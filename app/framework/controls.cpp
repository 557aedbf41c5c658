#include "app/framework/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include "app/framework/app.h"
#include "app/framework/dialog_units.h"
#include "app/framework/wnd_internal.h"
#include "app/framework/dialog_template.h"

namespace {

// The tab control: a tab row over a framed panel; the dialog's other controls lie on top.
class TabControlWidget : public QWidget {
public:
    explicit TabControlWidget(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)) {
        m_bar->setDrawBase(false);
        m_bar->setExpanding(false);
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
    }

private:
    QTabBar* m_bar;
};

// Picture statics show their image scaled into the control, keeping its proportions.
class PictureLabel : public QLabel {
public:
    PictureLabel(const QImage& image, QWidget* parent) : QLabel(parent), m_image(image) {}
    void SetImage(const QImage& image) {
        m_image = image;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_image.isNull()) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSize size = m_image.size().scaled(this->size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(QPoint(0, 0), size), m_image);
    }

private:
    QImage m_image;
};

// Windows compares list strings without regard to case.
int CompareItems(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive);
}

QTabBar* TabBarOf(QWidget* w) {
    auto* tab = dynamic_cast<TabControlWidget*>(w);
    return tab != nullptr ? tab->Bar() : nullptr;
}

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

QWidget* MakeStatic(const DialogItemTemplate& item, QWidget* parent) {
    const DWORD type = item.dwStyle & SS_TYPEMASK;
    if (type == SS_BITMAP || type == SS_ICON) {
        return new PictureLabel(LoadBitmapResource(item.nImageID), parent);
    }
    if (type == SS_BLACKRECT || type == SS_GRAYRECT || type == SS_WHITERECT) {
        auto* frame = new QFrame(parent);
        QPalette pal = frame->palette();
        const QColor fill = type == SS_BLACKRECT  ? QColor(0, 0, 0)
                            : type == SS_GRAYRECT ? QColor(128, 128, 128)
                                                  : QColor(255, 255, 255);
        pal.setColor(QPalette::Window, fill);
        frame->setPalette(pal);
        frame->setAutoFillBackground(true);
        return frame;
    }
    auto* label = new QLabel(DisplayText(QString::fromUtf8(item.lpszText)), parent);
    label->setTextFormat(Qt::PlainText);
    Qt::Alignment h = Qt::AlignLeft;
    if (type == SS_CENTER) {
        h = Qt::AlignHCenter;
    } else if (type == SS_RIGHT) {
        h = Qt::AlignRight;
    }
    const Qt::Alignment v = (item.dwStyle & SS_CENTERIMAGE) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    label->setAlignment(h | v);
    label->setWordWrap(type != SS_LEFTNOWORDWRAP && (item.dwStyle & SS_CENTERIMAGE) == 0);
    if ((item.dwStyle & SS_SUNKEN) != 0) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    return label;
}

QWidget* MakeEdit(const DialogItemTemplate& item, QWidget* parent) {
    const bool bordered =
        (item.dwStyle & WS_BORDER) != 0 || (item.dwExStyle & WS_EX_CLIENTEDGE) != 0;
    const QString text = QString::fromUtf8(item.lpszText);
    if ((item.dwStyle & ES_MULTILINE) != 0) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setPlainText(DisplayText(text));
        edit->setReadOnly((item.dwStyle & ES_READONLY) != 0);
        edit->setVerticalScrollBarPolicy((item.dwStyle & WS_VSCROLL) != 0 ? Qt::ScrollBarAlwaysOn
                                                                          : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(
            (item.dwStyle & WS_HSCROLL) != 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        if (!bordered) {
            edit->setFrameStyle(QFrame::NoFrame);
        }
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit,
                         [edit]() { NotifyParentCommand(edit, EN_CHANGE); });
        return edit;
    }
    auto* edit = new QLineEdit(text, parent);
    edit->setReadOnly((item.dwStyle & ES_READONLY) != 0);
    edit->setFrame(bordered);
    Qt::Alignment h = Qt::AlignLeft;
    if ((item.dwStyle & 0x3) == ES_CENTER) {
        h = Qt::AlignHCenter;
    } else if ((item.dwStyle & 0x3) == ES_RIGHT) {
        h = Qt::AlignRight;
    }
    edit->setAlignment(h | Qt::AlignVCenter);
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [edit](const QString&) { NotifyParentCommand(edit, EN_CHANGE); });
    return edit;
}

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

QWidget* MakeTrackbar(const DialogItemTemplate& item, QWidget* parent) {
    const bool vertical = (item.dwStyle & TBS_VERT) != 0;
    auto* slider = new QSlider(vertical ? Qt::Vertical : Qt::Horizontal, parent);
    slider->setRange(0, 100);
    slider->setSingleStep(1);
    slider->setPageStep(20);
    slider->setTickPosition((item.dwStyle & TBS_NOTICKS) != 0 ? QSlider::NoTicks
                            : (item.dwStyle & TBS_BOTH) != 0  ? QSlider::TicksBothSides
                                                              : QSlider::TicksBelow);
    const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
    QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [slider, message](int a) {
        UINT code = TB_THUMBTRACK;
        switch (a) {
            case QAbstractSlider::SliderSingleStepAdd:
                code = TB_LINEDOWN;
                break;
            case QAbstractSlider::SliderSingleStepSub:
                code = TB_LINEUP;
                break;
            case QAbstractSlider::SliderPageStepAdd:
                code = TB_PAGEDOWN;
                break;
            case QAbstractSlider::SliderPageStepSub:
                code = TB_PAGEUP;
                break;
            case QAbstractSlider::SliderToMinimum:
                code = TB_TOP;
                break;
            case QAbstractSlider::SliderToMaximum:
                code = TB_BOTTOM;
                break;
            case QAbstractSlider::SliderMove:
                code = TB_THUMBTRACK;
                break;
            default:
                return;
        }
        const int pos = slider->sliderPosition();
        NotifyParentScroll(slider, message, code, code == TB_THUMBTRACK ? pos : 0);
        if (code != TB_THUMBTRACK) {
            NotifyParentScroll(slider, message, TB_ENDTRACK, 0);
        }
    });
    QObject::connect(slider, &QAbstractSlider::sliderReleased, slider, [slider, message]() {
        NotifyParentScroll(slider, message, TB_THUMBPOSITION, slider->sliderPosition());
        NotifyParentScroll(slider, message, TB_ENDTRACK, 0);
    });
    return slider;
}

QWidget* MakeTabControl(const DialogItemTemplate&, QWidget* parent) {
    auto* tab = new TabControlWidget(parent);
    QObject::connect(tab->Bar(), &QTabBar::currentChanged, tab,
                     [tab](int) { NotifyParent(tab, TCN_SELCHANGE); });
    return tab;
}

}  // namespace

QWidget* CreateControlWidget(const DialogItemTemplate& item, QWidget* parent,
                             const DialogBaseUnits& units) {
    const QByteArray cls(item.lpszClass);
    QWidget* w = nullptr;
    if (cls.compare(kClassButton, Qt::CaseInsensitive) == 0) {
        w = MakeButton(item, parent);
    } else if (cls.compare(kClassStatic, Qt::CaseInsensitive) == 0) {
        w = MakeStatic(item, parent);
    } else if (cls.compare(kClassEdit, Qt::CaseInsensitive) == 0) {
        w = MakeEdit(item, parent);
    } else if (cls.compare(kClassListBox, Qt::CaseInsensitive) == 0) {
        w = MakeListBox(item, parent);
    } else if (cls.compare(kClassComboBox, Qt::CaseInsensitive) == 0) {
        w = MakeComboBox(item, parent);
    } else if (cls.compare(kClassTrackbar, Qt::CaseInsensitive) == 0) {
        w = MakeTrackbar(item, parent);
    } else if (cls.compare(kClassTabControl, Qt::CaseInsensitive) == 0) {
        w = MakeTabControl(item, parent);
    } else {
        w = new QWidget(parent);
    }
    TagWidget(w, item.nID, item.dwStyle, item.dwExStyle, item.lpszClass);
    w->setProperty(kPropText, QString::fromUtf8(item.lpszText));
    RECT rc = MapDialogItemRect(item.x, item.y, item.cx, item.cy, units);
    int height = rc.bottom - rc.top;
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // The template height includes the drop-down list; the field keeps its own height.
        height = std::min(height, combo->sizeHint().height());
    }
    w->setGeometry(rc.left, rc.top, rc.right - rc.left, height);
    w->setEnabled((item.dwStyle & WS_DISABLED) == 0);
    w->setVisible((item.dwStyle & WS_VISIBLE) != 0);
    if ((item.dwStyle & WS_TABSTOP) != 0) {
        w->setFocusPolicy(Qt::StrongFocus);
    } else if (qobject_cast<QAbstractButton*>(w) != nullptr ||
               qobject_cast<QSlider*>(w) != nullptr) {
        w->setFocusPolicy(Qt::ClickFocus);
    }
    CWndHook* hook = EnsureHook(w);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
        hook->WatchViewport(area->viewport());
    }
    return w;
}

CWnd* NewDefaultWrapper(const char* lpszClass) {
    const QByteArray cls(lpszClass);
    if (cls.compare(kClassButton, Qt::CaseInsensitive) == 0) {
        return new CButton;
    }
    if (cls.compare(kClassStatic, Qt::CaseInsensitive) == 0) {
        return new CStatic;
    }
    if (cls.compare(kClassEdit, Qt::CaseInsensitive) == 0) {
        return new CEdit;
    }
    if (cls.compare(kClassListBox, Qt::CaseInsensitive) == 0) {
        return new CListBox;
    }
    if (cls.compare(kClassComboBox, Qt::CaseInsensitive) == 0) {
        return new CComboBox;
    }
    if (cls.compare(kClassTrackbar, Qt::CaseInsensitive) == 0) {
        return new CSliderCtrl;
    }
    if (cls.compare(kClassTabControl, Qt::CaseInsensitive) == 0) {
        return new CTabCtrl;
    }
    return new CWnd;
}

// ---------------------------------------------------------------------------------------------

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

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
    if (m_hWnd || pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr) {
        return FALSE;
    }
    DialogItemTemplate item{static_cast<int>(nID),
                            kClassStatic,
                            lpszText != nullptr ? lpszText : "",
                            dwStyle,
                            0,
                            0,
                            0,
                            0,
                            0,
                            0};
    QWidget* w = CreateControlWidget(item, pParentWnd->GetSafeHwnd(), DialogBaseUnits{4, 8});
    w->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    AttachWidget(w);
    return TRUE;
}

BOOL CStatic::SetBitmapResource(int nIDResource) {
    auto* picture = dynamic_cast<PictureLabel*>(m_hWnd.data());
    if (picture == nullptr) {
        return FALSE;
    }
    const QImage image = LoadBitmapResource(nIDResource);
    picture->SetImage(image);
    return image.isNull() ? FALSE : TRUE;
}

void CEdit::SetReadOnly(BOOL bReadOnly) {
    if (auto* line = qobject_cast<QLineEdit*>(m_hWnd.data())) {
        line->setReadOnly(bReadOnly != FALSE);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(m_hWnd.data())) {
        plain->setReadOnly(bReadOnly != FALSE);
    }
    ModifyStyle(bReadOnly ? 0 : ES_READONLY, bReadOnly ? ES_READONLY : 0);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL) {
    if (auto* line = qobject_cast<QLineEdit*>(m_hWnd.data())) {
        if (nStartChar == -1) {
            line->deselect();
        } else {
            const int end = nEndChar < 0 ? static_cast<int>(line->text().size()) : nEndChar;
            line->setSelection(nStartChar, end - nStartChar);
        }
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(m_hWnd.data())) {
        QTextCursor cursor = plain->textCursor();
        if (nStartChar == -1) {
            cursor.clearSelection();
        } else {
            cursor.setPosition(nStartChar);
            cursor.movePosition(nEndChar < 0 ? QTextCursor::End : QTextCursor::NoMove,
                                QTextCursor::KeepAnchor);
            if (nEndChar >= 0) {
                cursor.setPosition(nEndChar, QTextCursor::KeepAnchor);
            }
        }
        plain->setTextCursor(cursor);
    }
}

int CEdit::GetLineCount() const {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(m_hWnd.data())) {
        return plain->document()->blockCount();
    }
    return m_hWnd ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------

namespace {

QListWidget* ListOf(const CWnd* w) {
    return qobject_cast<QListWidget*>(w->GetSafeHwnd());
}
QComboBox* ComboOf(const CWnd* w) {
    return qobject_cast<QComboBox*>(w->GetSafeHwnd());
}
QSlider* SliderOf(const CWnd* w) {
    return qobject_cast<QSlider*>(w->GetSafeHwnd());
}

int SortedIndex(int count, const std::function<QString(int)>& textAt, const QString& item) {
    int i = 0;
    while (i < count && CompareItems(textAt(i), item) <= 0) {
        ++i;
    }
    return i;
}

}  // namespace

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

int CComboBox::AddString(LPCTSTR lpszString) {
    return AddString(QString::fromUtf8(lpszString != nullptr ? lpszString : ""));
}

int CComboBox::AddString(const QString& item) {
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
        rString.clear();
        return CB_ERR;
    }
    rString = combo->itemText(nIndex);
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

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (m_hWnd || pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr) {
        return FALSE;
    }
    DialogItemTemplate item{static_cast<int>(nID), kClassTrackbar, "", dwStyle, 0, 0, 0, 0, 0, 0};
    QWidget* w = CreateControlWidget(item, pParentWnd->GetSafeHwnd(), DialogBaseUnits{4, 8});
    w->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    AttachWidget(w);
    return TRUE;
}

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw) {
    if (QSlider* s = SliderOf(this)) {
        ProgrammaticChange quiet(s);
        s->setRange(nMin, nMax);
        if (bRedraw) {
            s->update();
        }
    }
}

void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw) {
    SetRange(nMin, GetRangeMax(), bRedraw);
}
void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw) {
    SetRange(GetRangeMin(), nMax, bRedraw);
}

void CSliderCtrl::GetRange(int& nMin, int& nMax) const {
    nMin = GetRangeMin();
    nMax = GetRangeMax();
}

int CSliderCtrl::GetRangeMin() const {
    QSlider* s = SliderOf(this);
    return s != nullptr ? s->minimum() : 0;
}

int CSliderCtrl::GetRangeMax() const {
    QSlider* s = SliderOf(this);
    return s != nullptr ? s->maximum() : 0;
}

int CSliderCtrl::GetPos() const {
    QSlider* s = SliderOf(this);
    // The thumb's position, also while a scroll notification is still on its way.
    return s != nullptr ? s->sliderPosition() : 0;
}

void CSliderCtrl::SetPos(int nPos) {
    if (QSlider* s = SliderOf(this)) {
        ProgrammaticChange quiet(s);
        s->setValue(nPos);
    }
}

void CSliderCtrl::SetTicFreq(int nFreq) {
    if (QSlider* s = SliderOf(this)) {
        s->setTickInterval(nFreq);
    }
}

int CSliderCtrl::GetLineSize() const {
    QSlider* s = SliderOf(this);
    return s != nullptr ? s->singleStep() : 0;
}

int CSliderCtrl::SetLineSize(int nSize) {
    QSlider* s = SliderOf(this);
    if (s == nullptr) {
        return 0;
    }
    const int old = s->singleStep();
    s->setSingleStep(nSize);
    return old;
}

int CSliderCtrl::GetPageSize() const {
    QSlider* s = SliderOf(this);
    return s != nullptr ? s->pageStep() : 0;
}

int CSliderCtrl::SetPageSize(int nSize) {
    QSlider* s = SliderOf(this);
    if (s == nullptr) {
        return 0;
    }
    const int old = s->pageStep();
    s->setPageStep(nSize);
    return old;
}

int CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    QTabBar* bar = TabBarOf(m_hWnd);
    if (bar == nullptr || nItem < 0) {
        return -1;
    }
    ProgrammaticChange quiet(m_hWnd);
    const int index = bar->insertTab(std::min(nItem, bar->count()),
                                     DisplayText(QString::fromUtf8(lpszItem ? lpszItem : "")));
    bar->resize(bar->sizeHint());
    return index;
}

BOOL CTabCtrl::DeleteItem(int nItem) {
    QTabBar* bar = TabBarOf(m_hWnd);
    if (bar == nullptr || nItem < 0 || nItem >= bar->count()) {
        return FALSE;
    }
    ProgrammaticChange quiet(m_hWnd);
    bar->removeTab(nItem);
    return TRUE;
}

BOOL CTabCtrl::DeleteAllItems() {
    QTabBar* bar = TabBarOf(m_hWnd);
    if (bar == nullptr) {
        return FALSE;
    }
    ProgrammaticChange quiet(m_hWnd);
    while (bar->count() > 0) {
        bar->removeTab(0);
    }
    return TRUE;
}

int CTabCtrl::GetItemCount() const {
    QTabBar* bar = TabBarOf(m_hWnd);
    return bar != nullptr ? bar->count() : 0;
}

int CTabCtrl::GetCurSel() const {
    QTabBar* bar = TabBarOf(m_hWnd);
    return bar != nullptr ? bar->currentIndex() : -1;
}

int CTabCtrl::SetCurSel(int nItem) {
    QTabBar* bar = TabBarOf(m_hWnd);
    if (bar == nullptr || nItem < 0 || nItem >= bar->count()) {
        return -1;
    }
    ProgrammaticChange quiet(m_hWnd);
    const int old = bar->currentIndex();
    bar->setCurrentIndex(nItem);
    return old;
}

CString CTabCtrl::GetItemText(int nItem) const {
    QTabBar* bar = TabBarOf(m_hWnd);
    if (bar == nullptr || nItem < 0 || nItem >= bar->count()) {
        return CString();
    }
    return bar->tabText(nItem);
}
