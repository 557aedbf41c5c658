// What the closing state needs of Win32: calls posted to the program's message loop through a
// message-only window of the framework, which every loop dispatches; the end of an open popup
// menu, the system's own loop; and the program's message loop.
#include "app/framework/closing.h"
#include "app/framework/closing_steps.h"

#include <windows.h>

#include "app/framework/app.h"
#include "app/framework/win32/wnd_internal.h"
#include "app/framework/wnd.h"

namespace {

constexpr UINT kPostedCall = WM_APP + 0x3F00;
constexpr const char* kNoticeClass = "ZelClosingNotice";

HWND g_hNoticeWindow = nullptr;

LRESULT CALLBACK NoticeProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPostedCall) {
        reinterpret_cast<void (*)()>(wParam)();
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

int g_nMessageLoops = 0;

}  // namespace

void AfxPostToMessageLoop(void (*fn)()) {
    ::PostMessageA(NoticeWindow(), kPostedCall, reinterpret_cast<WPARAM>(fn), 0);
}

void AfxEndSystemLoops() {
    ::EndMenu();
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
