#include "app/shell/modal_loops.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "app/framework/framework.h"

namespace {

constexpr int kMaxLoops = 64;

int g_nProgramLoopLevel = 1;

bool ModalLoopRunning() {
    return QThread::currentThread()->loopLevel() > g_nProgramLoopLevel ||
           QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr;
}

}  // namespace

void SetProgramLoopLevel(int nLevel) {
    g_nProgramLoopLevel = nLevel;
}

void EndModalLoops() {
    for (int i = 0; i < kMaxLoops; ++i) {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            continue;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        if (qobject_cast<QMessageBox*>(modal) != nullptr) {
            modal->close();  // answered with its escape button, as a closed box is
        } else if (auto* dlg = dynamic_cast<CDialog*>(CWnd::FromHandle(modal))) {
            dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            if (QApplication::activeModalWidget() == modal) {
                dlg->EndDialog(IDCANCEL);
            }
        } else {
            modal->close();
        }
        if (QApplication::activeModalWidget() == modal) {
            modal->hide();
        }
    }
}

void RunWhenModalLoopsEnded(QObject* context, std::function<void()> fn) {
    QPointer<QObject> guard(context);
    QTimer::singleShot(0, context, [guard, fn = std::move(fn)]() mutable {
        if (!guard) {
            return;
        }
        if (ModalLoopRunning()) {
            EndModalLoops();
            QTimer::singleShot(0, guard.data(), [guard, fn = std::move(fn)]() mutable {
                RunWhenModalLoopsEnded(guard.data(), std::move(fn));
            });
            return;
        }
        fn();
    });
}
