// The window system's side of the tests over Win32: the thread's message queue run through the
// framework's loop steps, window pictures read back from the window's own drawing surface,
// bitmaps through GetDIBits, and the texts and menus as the system holds them.
#include <windows.h>

#include <map>
#include <utility>

#include "app/framework/win32/wnd_internal.h"
#include "tests/support/window_system.h"

namespace {

// Calls waiting for a loop, by the id of the thread timer that starts them. A thread timer's
// message is dispatched by whichever loop runs: the program's, a modal dialog's, a message box's
// or a popup menu's.
std::map<UINT_PTR, std::function<void()>>& Pending() {
    static std::map<UINT_PTR, std::function<void()>> pending;
    return pending;
}

void RunPending(UINT_PTR id) {
    ::KillTimer(nullptr, id);
    const auto it = Pending().find(id);
    if (it == Pending().end()) {
        return;
    }
    const std::function<void()> fn = std::move(it->second);
    Pending().erase(it);
    fn();
}

void CALLBACK LaterTimer(HWND, UINT, UINT_PTR id, DWORD) {
    RunPending(id);
}

// Delivers what is queued now; true when there was anything.
bool DrainQueue() {
    bool any = false;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        any = true;
        AfxPumpMessage(&msg);
    }
    return any;
}

// A picture from a device-independent copy of the bitmap, top row first.
kesttest::Image ReadBits(HDC hdc, HBITMAP hBitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> bits(static_cast<std::size_t>(width) * height);
    if (::GetDIBits(hdc, hBitmap, 0, static_cast<UINT>(height), bits.data(), &info,
                    DIB_RGB_COLORS) != height) {
        return kesttest::Image();
    }
    kesttest::Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const RGBQUAD& q = bits[static_cast<std::size_t>(y) * width + x];
            image.Set(x, y, RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
        }
    }
    return image;
}

// The window's part of the surface the system composes the screen from, once it has painted
// what is invalid.
kesttest::Image SurfacePixels(HWND hWnd) {
    ::RedrawWindow(hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0) {
        return kesttest::Image();
    }
    HDC window = ::GetWindowDC(hWnd);
    HDC memory = ::CreateCompatibleDC(window);
    HBITMAP bitmap = ::CreateCompatibleBitmap(window, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    const kesttest::Image image = ReadBits(memory, bitmap, width, height);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(hWnd, window);
    return image;
}

// The popup menu window this program has on screen, or null.
HWND OpenMenuWindow() {
    for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32768", nullptr); w != nullptr;
         w = ::FindWindowExA(nullptr, w, "#32768", nullptr)) {
        if (::IsWindowVisible(w) &&
            ::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId()) {
            return w;
        }
    }
    return nullptr;
}

}  // namespace

namespace user {

void UseTestDisplay() {
    // The tests draw on the system's own desktop (under wine: the X display in DISPLAY).
}

void Settle() {
    // Each round delivers what the one before posted, and the calls left for the next loop; a
    // few rounds reach the end of any chain the program starts.
    for (int i = 0; i < 20; ++i) {
        bool any = DrainQueue();
        while (!Pending().empty()) {
            any = true;
            RunPending(Pending().begin()->first);
        }
        if (!any) {
            break;
        }
    }
}

void Later(std::function<void()> fn) {
    const UINT_PTR id = ::SetTimer(nullptr, 0, 0, &LaterTimer);
    Pending()[id] = std::move(fn);
}

kesttest::Image Capture(HWND hWnd) {
    // A window has pixels only while its top-level window is on the screen: one a test keeps
    // hidden is shown for the picture, without taking the activation, and hidden again.
    HWND top = ::GetAncestor(hWnd, GA_ROOT);
    const bool shown = top != hWnd && !::IsWindowVisible(top);
    if (shown) {
        ::SetWindowPos(top, nullptr, 0, 0, 0, 0,
                       SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
    const kesttest::Image image = SurfacePixels(hWnd);
    if (shown) {
        ::SetWindowPos(top, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
    return image;
}

kesttest::Image BitmapPixels(HBITMAP hBitmap) {
    BITMAP bm{};
    if (hBitmap == nullptr || ::GetObjectA(hBitmap, sizeof bm, &bm) == 0) {
        return kesttest::Image();
    }
    // GetDIBits reads the bitmap's bits wherever it is selected.
    HDC screen = ::GetDC(nullptr);
    const kesttest::Image image = ReadBits(screen, hBitmap, bm.bmWidth, bm.bmHeight);
    ::ReleaseDC(nullptr, screen);
    return image;
}

CString ShownText(HWND hWnd) {
    char text[512] = {};
    ::GetWindowTextA(hWnd, text, static_cast<int>(sizeof text));
    return CString(text);
}

std::vector<CString> PopupMenuItems() {
    std::vector<CString> items;
    HWND window = OpenMenuWindow();
    if (window == nullptr) {
        return items;
    }
    constexpr UINT kGetMenu = 0x01E1;  // MN_GETHMENU
    auto menu = reinterpret_cast<HMENU>(::SendMessageA(window, kGetMenu, 0, 0));
    const int count = menu != nullptr ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, static_cast<int>(sizeof text),
                         MF_BYPOSITION);
        items.emplace_back(text);
    }
    return items;
}

}  // namespace user
