#include "app/framework/controls.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/framework/qt/controls_internal.h"
#include "app/framework/dialog_template.h"
#include "app/framework/qt/wnd_internal.h"

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

void CEdit::SetReadOnly(BOOL bReadOnly) {
    if (auto* line = qobject_cast<QLineEdit*>(WidgetOf(m_hWnd))) {
        line->setReadOnly(bReadOnly != FALSE);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(WidgetOf(m_hWnd))) {
        plain->setReadOnly(bReadOnly != FALSE);
    }
    ModifyStyle(bReadOnly ? 0 : ES_READONLY, bReadOnly ? ES_READONLY : 0);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL) {
    if (auto* line = qobject_cast<QLineEdit*>(WidgetOf(m_hWnd))) {
        if (nStartChar == -1) {
            line->deselect();
        } else {
            const int end = nEndChar < 0 ? static_cast<int>(line->text().size()) : nEndChar;
            line->setSelection(nStartChar, end - nStartChar);
        }
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(WidgetOf(m_hWnd))) {
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
    if (auto* plain = qobject_cast<QPlainTextEdit*>(WidgetOf(m_hWnd))) {
        return plain->document()->blockCount();
    }
    return m_hWnd ? 1 : 0;
}
