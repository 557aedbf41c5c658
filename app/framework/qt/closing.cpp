// The closing state over Qt: the running modal loops in a stack, the message to the notified
// window posted through the application's event queue.
#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "app/framework/closing.h"
#include "app/framework/wnd.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

std::vector<ModalLoopScope*> g_loops;  // innermost last
bool g_bClosing = false;
bool g_bPosted = false;
QPointer<QWidget> g_notify;
UINT g_nMessage = 0;

// Once no modal loop runs, the closing ends with the message to the notified window.
void FinishWhenUnwound() {
    if (!g_bClosing || !g_loops.empty() || g_bPosted) {
        return;
    }
    g_bPosted = true;
    QTimer::singleShot(0, QCoreApplication::instance(), []() {
        g_bPosted = false;
        if (!g_loops.empty()) {
            return;  // the last one to end posts again
        }
        const QPointer<QWidget> notify = g_notify;
        const UINT message = g_nMessage;
        g_bClosing = false;
        g_notify = nullptr;
        if (CWnd* target = CWnd::FromHandle(HandleOf(notify))) {
            target->SendMessage(message);
        }
    });
}

}  // namespace

void AfxBeginClosing(CWnd* pNotify, UINT message) {
    if (g_bClosing) {
        return;
    }
    g_bClosing = true;
    g_notify = pNotify != nullptr ? WidgetOf(pNotify->GetSafeHwnd()) : nullptr;
    g_nMessage = message;
    // Innermost first; each one ended leaves the stack as its caller returns.
    const std::vector<ModalLoopScope*> loops = g_loops;
    for (auto it = loops.rbegin(); it != loops.rend(); ++it) {
        if (std::find(g_loops.begin(), g_loops.end(), *it) != g_loops.end()) {
            (*it)->End();
        }
    }
    FinishWhenUnwound();
}

BOOL AfxIsClosing() {
    return g_bClosing ? TRUE : FALSE;
}

void AfxPostQuitMessage(int nExitCode) {
    QTimer::singleShot(0, QCoreApplication::instance(), [nExitCode]() {
        // exit() with no loop running would make the next loop return at once.
        if (QThread::currentThread()->loopLevel() > 0) {
            QCoreApplication::exit(nExitCode);
        }
    });
}

ModalLoopScope::ModalLoopScope(std::function<void()> end) : m_end(std::move(end)) {
    g_loops.push_back(this);
    if (g_bClosing) {
        End();
    }
}

ModalLoopScope::~ModalLoopScope() {
    g_loops.erase(std::remove(g_loops.begin(), g_loops.end(), this), g_loops.end());
    FinishWhenUnwound();
}

void ModalLoopScope::End() {
    if (!m_bEnded && m_end) {
        m_bEnded = true;
        m_end();
    }
}
