// Closing the program, the way a Windows program's loops end on WM_QUIT. Once closing starts,
// every modal loop (dialogs, message boxes, popup menus) ends as if cancelled or closed, and one
// that starts meanwhile ends at once. When the last has returned to the code that opened it, the
// window given receives the message given, from the program's message loop.
#pragma once

#include <functional>

#include "app/framework/win_types.h"

class CWnd;

// Starts closing; pNotify null only ends the loops. Nothing more happens when closing has
// already started.
void AfxBeginClosing(CWnd* pNotify, UINT message);
BOOL AfxIsClosing();

// Ends the program's message loop with nExitCode once the current message has been handled
// (nothing when no message loop runs).
void AfxPostQuitMessage(int nExitCode);

// A modal loop of the window layer while it runs: `end` ends it as closing asks. Made just
// before the loop starts; when closing has already begun, `end` runs at once.
class ModalLoopScope {
public:
    explicit ModalLoopScope(std::function<void()> end);
    ~ModalLoopScope();
    ModalLoopScope(const ModalLoopScope&) = delete;
    ModalLoopScope& operator=(const ModalLoopScope&) = delete;

    void End();

private:
    std::function<void()> m_end;
    bool m_bEnded = false;
};
