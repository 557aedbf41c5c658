#include "app/framework/controls.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QSlider>

#include "app/framework/qt/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/dialog_units.h"
#include "app/framework/qt/wnd_internal.h"

// Template controls: the widget each class gets and the wrapper object that drives it.

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
