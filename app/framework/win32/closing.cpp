// The closing state over Win32: the running modal loops in a stack; once the last has returned,
// the notified window gets its message from the program's message loop (posted through a
// message-only window of the framework, which every loop dispatches). An open popup menu, the
// system's own loop, ends with the rest.
#include "app/framework/closing.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/framework/app.h"
#include "app/framework/win32/wnd_internal.h"
#include "app/framework/wnd.h"

namespace {

constexpr UINT kFinishClosing = WM_APP + 0x3F00;
constexpr const char* kNoticeClass = "ZelClosingNotice";

std::vector<ModalLoopScope*> g_loops;  // innermost last
bool g_bClosing = false;
bool g_bPosted = false;
HWND g_hNotify = nullptr;
UINT g_nMessage = 0;
HWND g_hNoticeWindow = nullptr;

void Finish() {
    g_bPosted = false;
    if (!g_loops.empty()) {
        return;  // the last one to end posts again
    }
    const HWND notify = g_hNotify;
    const UINT message = g_nMessage;
    g_bClosing = false;
    g_hNotify = nullptr;
    if (CWnd* target = CWnd::FromHandle(notify)) {
        target->SendMessage(message);
    }
}

LRESULT CALLBACK NoticeProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kFinishClosing) {
        Finish();
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND NoticeWindow() {
    if (g_hNoticeWindow == nullptr) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &NoticeProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.lpszClassName = kNoticeClass;
        ::RegisterClassExA(&wc);
        g_hNoticeWindow = ::CreateWindowExA(0, kNoticeClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                            nullptr, AfxGetInstanceHandle(), nullptr);
    }
    return g_hNoticeWindow;
}

// Once no modal loop runs, the closing ends with the message to the notified window.
void FinishWhenUnwound() {
    if (!g_bClosing || !g_loops.empty() || g_bPosted) {
        return;
    }
    g_bPosted = true;
    ::PostMessageA(NoticeWindow(), kFinishClosing, 0, 0);
}

int g_nMessageLoops = 0;

}  // namespace

void AfxBeginClosing(CWnd* pNotify, UINT message) {
    if (g_bClosing) {
        return;
    }
    g_bClosing = true;
    g_hNotify = pNotify != nullptr ? pNotify->GetSafeHwnd() : nullptr;
    g_nMessage = message;
    ::EndMenu();
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
    // WM_QUIT with no loop running would end the next loop at once.
    if (g_nMessageLoops > 0) {
        ::PostQuitMessage(nExitCode);
    }
}

int AfxRunMessageLoop() {
    ++g_nMessageLoops;
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        AfxPumpMessage(&msg);
    }
    --g_nMessageLoops;
    return static_cast<int>(msg.wParam);
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
