// The closing state, the same over every back end: the running modal loops in a stack, ended
// innermost first once closing starts; when the last has returned, the notified window gets its
// message from the program's message loop.
#include "app/framework/closing.h"

#include <algorithm>
#include <vector>

#include "app/framework/closing_steps.h"
#include "app/framework/wnd.h"

namespace {

std::vector<ModalLoopScope*> g_loops;  // innermost last
bool g_bClosing = false;
bool g_bPosted = false;
HWND g_hNotify = nullptr;
UINT g_nMessage = 0;

void Finish() {
    g_bPosted = false;
    if (!g_loops.empty()) {
        return;  // the last one to end posts again
    }
    const HWND notify = g_hNotify;
    const UINT message = g_nMessage;
    g_bClosing = false;
    g_hNotify = nullptr;
    if (CWnd* target = IsWindow(notify) ? CWnd::FromHandle(notify) : nullptr) {
        target->SendMessage(message);
    }
}

// Once no modal loop runs, the closing ends with the message to the notified window.
void FinishWhenUnwound() {
    if (!g_bClosing || !g_loops.empty() || g_bPosted) {
        return;
    }
    g_bPosted = true;
    AfxPostToMessageLoop(&Finish);
}

}  // namespace

void AfxBeginClosing(CWnd* pNotify, UINT message) {
    if (g_bClosing) {
        return;
    }
    g_bClosing = true;
    g_hNotify = pNotify != nullptr ? pNotify->GetSafeHwnd() : nullptr;
    g_nMessage = message;
    AfxEndSystemLoops();
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
