#include "app/shell/fatal_box.h"

#include "app/framework/win32_api.h"
#include "app/shell/ui_constants.h"

void EndWithBox(const char* lpszText, const char* lpszCaption) {
    MessageBoxA(nullptr, lpszText, lpszCaption, kErrorBox);
    ExitProgram(1);
}
