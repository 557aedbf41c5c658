// Pieces the control families share with the template-control factory; not for window code.
#pragma once

#include <QString>

#include <functional>

class QWidget;
struct DialogItemTemplate;

// The widget for one template control of each class, its notifications wired to the parent.
QWidget* MakeButton(const DialogItemTemplate& item, QWidget* parent);
QWidget* MakeStatic(const DialogItemTemplate& item, QWidget* parent);
QWidget* MakeEdit(const DialogItemTemplate& item, QWidget* parent);
QWidget* MakeListBox(const DialogItemTemplate& item, QWidget* parent);
QWidget* MakeComboBox(const DialogItemTemplate& item, QWidget* parent);
QWidget* MakeTrackbar(const DialogItemTemplate& item, QWidget* parent);
QWidget* MakeTabControl(const DialogItemTemplate& item, QWidget* parent);

// Ctrl+Tab and Ctrl+Shift+Tab in a dialog: the first tab control in it moves to the next or the
// previous page, wrapping, as the person's own choice; false when the dialog has none.
bool StepTabControl(QWidget* dialog, bool bForward);

// Windows compares list strings without regard to case.
inline int CompareItems(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive);
}

// Where a sorted list or combo box puts a new item: after every item that compares equal or less.
inline int SortedIndex(int count, const std::function<QString(int)>& textAt, const QString& item) {
    int i = 0;
    while (i < count && CompareItems(textAt(i), item) <= 0) {
        ++i;
    }
    return i;
}
