// What a user sees of a Windows program, for the end-to-end tests under wine:
//   window_texts CAPTION         the visible top-level window titled CAPTION: its caption, then
//                                the text of each child window, one a line;
//   window_texts --popup         where the popup menu on screen is: "X Y WIDTH HEIGHT" (its items
//                                cannot be read from another process).
// Exits 1 when there is no such window or menu.
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

BOOL CALLBACK PrintChild(HWND hWnd, LPARAM) {
    char text[512] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    if (text[0] != '\0') {
        printf("%s\n", text);
    }
    return TRUE;
}

int PrintWindow(const char* caption) {
    HWND window = FindWindowA(nullptr, caption);
    if (window == nullptr || !IsWindowVisible(window)) {
        return 1;
    }
    printf("%s\n", caption);
    EnumChildWindows(window, PrintChild, 0);
    return 0;
}

int PrintPopup() {
    HWND popup = FindWindowA("#32768", nullptr);
    RECT rc{};
    if (popup == nullptr || !IsWindowVisible(popup) || !GetWindowRect(popup, &rc)) {
        return 1;
    }
    printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "--popup") == 0) {
        return PrintPopup();
    }
    if (argc == 2) {
        return PrintWindow(argv[1]);
    }
    fprintf(stderr, "usage: window_texts CAPTION | --popup\n");
    return 2;
}
