// What the program's start and end do the same over every back end: the main window it keeps,
// and ending at once with an exit code.
#include <cstdio>
#include <cstdlib>

#include "app/framework/app.h"

namespace {

CWnd* g_pMainWnd = nullptr;

}  // namespace

CWnd* AfxGetMainWnd() {
    return g_pMainWnd;
}

void AfxSetMainWnd(CWnd* pWnd) {
    g_pMainWnd = pWnd;
}

void ExitProgram(int nExitCode) {
    std::fflush(nullptr);
    // Immediately, as the fatal paths need: nothing after them may run, no window may react.
    std::_Exit(nExitCode);
}
