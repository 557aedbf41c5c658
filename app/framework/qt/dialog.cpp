#include "app/framework/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <vector>

#include "app/framework/qt/app_qt.h"
#include "app/framework/closing.h"
#include "app/framework/controls.h"
#include "app/framework/qt/controls_internal.h"
#include "app/framework/dialog_units.h"
#include "app/framework/qt/text_cell.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

// The dialog window: keys and closing go to the dialog object the way a Windows dialog treats
// them; only EndDialog ends its modal loop.
class DialogWidget : public QDialog {
public:
    DialogWidget(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

    void End(int nResult) {
        m_bEnding = true;
        done(nResult);
        m_bEnding = false;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        CDialog* dlg = dynamic_cast<CDialog*>(CWnd::FromHandle(HandleOf(this)));
        if (dlg == nullptr) {
            QDialog::keyPressEvent(event);
            return;
        }
        const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
        if (ctrl && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
            StepTabControl(this, event->key() == Qt::Key_Tab)) {
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
            event->key() == Qt::Key_Escape) {
            dlg->HandleKey(event->key());
            return;
        }
        QDialog::keyPressEvent(event);
    }
    void done(int r) override {
        if (m_bEnding) {
            QDialog::done(r);
        }
    }
    void reject() override {
        if (CWnd* dlg = CWnd::FromHandle(HandleOf(this))) {
            dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }
    void accept() override {
        if (CWnd* dlg = CWnd::FromHandle(HandleOf(this))) {
            dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }

private:
    bool m_bEnding = false;
};

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics fm(font);
    const int extent = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{AverageCharWidth(extent), CellOf(font).Height()};
}

}  // namespace

// ---------------------------------------------------------------------------------------------

BOOL CDialog::CreateDialogWindow(CWnd* pParentWnd, BOOL bModal) {
    if (!BeginDialogWindow(bModal)) {
        return FALSE;
    }
    CWnd* owner = DialogOwner(pParentWnd);
    QWidget* parent = owner != nullptr ? WidgetOf(owner->GetSafeHwnd())->window() : nullptr;

    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((m_pTemplate->dwStyle & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::WindowTitleHint;
    }
    if ((m_pTemplate->dwStyle & WS_SYSMENU) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if ((m_pTemplate->dwStyle & WS_MINIMIZEBOX) != 0) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    auto* w = new DialogWidget(parent, flags);
    TagWidget(w, 0, m_pTemplate->dwStyle, m_pTemplate->dwExStyle, "#32770");
    w->setProperty(kPropText, QString::fromUtf8(m_pTemplate->lpszCaption));
    w->setProperty(kPropTemplate, m_pTemplate->nID);
    w->setWindowTitle(QString::fromUtf8(m_pTemplate->lpszCaption));
    const QFont font = DialogFont(m_pTemplate->lpszFontName, m_pTemplate->nPointSize);
    w->setFont(font);
    const DialogBaseUnits units = BaseUnitsOf(font);
    w->setProperty("zelBaseX", units.cx);
    w->setProperty("zelBaseY", units.cy);
    const RECT client = MapDialogItemRect(0, 0, m_pTemplate->cx, m_pTemplate->cy, units);
    w->setFixedSize(client.right, client.bottom);
    AttachWidget(HandleOf(w));

    m_defaultControls.clear();
    QWidget* firstTabStop = nullptr;
    std::vector<QWidget*> controls;
    for (std::size_t i = 0; i < m_pTemplate->nItems; ++i) {
        const DialogItemTemplate& item = m_pTemplate->pItems[i];
        QWidget* control = CreateControlWidget(item, w, units);
        controls.push_back(control);
        std::unique_ptr<CWnd> wrapper(NewDefaultWrapper(item.lpszClass));
        wrapper->AttachWidget(HandleOf(control));
        m_defaultControls.push_back(std::move(wrapper));
        if (firstTabStop == nullptr && (item.dwStyle & WS_TABSTOP) != 0 &&
            (item.dwStyle & WS_VISIBLE) != 0 && (item.dwStyle & WS_DISABLED) == 0) {
            firstTabStop = control;
        }
    }
    NameDialogControls(*m_pTemplate, controls);
    SendMessage(WM_CREATE);
    if (!m_hWnd) {
        return FALSE;
    }
    if (OnInitDialog() && firstTabStop != nullptr && m_hWnd) {
        // Focus to the first tab stop, as the dialog manager does when set-up returns TRUE.
        firstTabStop->setFocus(Qt::OtherFocusReason);
        WidgetOf(m_hWnd)->setProperty("zelInitialFocus",
                                      QVariant::fromValue<QObject*>(firstTabStop));
    }
    return m_hWnd ? TRUE : FALSE;
}

INT_PTR CDialog::DoModal() {
    if (!CreateDialogWindow(m_pParentWnd, TRUE)) {
        if (m_bEnded) {
            return m_nModalResult;
        }
        return -1;
    }
    auto* w = static_cast<DialogWidget*>(WidgetOf(GetSafeHwnd()));
    // Closing ends the dialog as Cancel does (its own handler first), now or once it runs.
    const ModalLoopScope loop([this]() {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (!m_bEnded) {
            EndDialog(IDCANCEL);
        }
    });
    if (!m_bEnded) {
        w->setWindowModality(Qt::ApplicationModal);
        if (IsModalDialogHookSet()) {
            QPointer<QWidget> guard(w);
            QTimer::singleShot(0, w, [this, guard]() {
                if (guard && !m_bEnded) {
                    RunModalDialogHook(*this);
                }
            });
        }
        w->exec();
    }
    DestroyWindow();
    return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    if (!CreateDialogWindow(pParentWnd, FALSE)) {
        return FALSE;
    }
    if ((m_pTemplate->dwStyle & WS_VISIBLE) != 0 && !m_bEnded) {
        WidgetOf(m_hWnd)->show();
    }
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = TRUE;
    auto* w = dynamic_cast<DialogWidget*>(WidgetOf(GetSafeHwnd()));
    if (w == nullptr) {
        return;
    }
    if (m_bModal) {
        w->End(nResult);
    } else {
        w->hide();
    }
}

void CDialog::MapDialogRect(RECT* lpRect) const {
    if (lpRect == nullptr || GetSafeHwnd() == nullptr) {
        return;
    }
    const DialogBaseUnits units{WidgetOf(GetSafeHwnd())->property("zelBaseX").toInt(),
                                WidgetOf(GetSafeHwnd())->property("zelBaseY").toInt()};
    *lpRect = ::MapDialogRect(*lpRect, units);
}

void CDialog::HandleKey(int nKey) {
    if (nKey == Qt::Key_Escape) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    // Enter: the focused push button, else the default button.
    QWidget* focus = WidgetOf(GetSafeHwnd())->focusWidget();
    auto* push = qobject_cast<QPushButton*>(focus);
    if (push != nullptr && push->window() == WidgetOf(GetSafeHwnd()) && push->isEnabled()) {
        const int id = push->property(kPropId).toInt();
        SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                    reinterpret_cast<LPARAM>(push));
        return;
    }
    const int def = GetDefID();
    HWND defButton = GetDlgItemHwnd(def);
    if (defButton != nullptr && !WidgetOf(defButton)->isEnabled()) {
        return;
    }
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(def), BN_CLICKED),
                reinterpret_cast<LPARAM>(defButton));
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        // The close box is Cancel, unless a Cancel button exists and is disabled.
        HWND cancel = GetDlgItemHwnd(IDCANCEL);
        if (cancel == nullptr || WidgetOf(cancel)->isEnabled()) {
            SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}
