#include "app/shell/fatal_box.h"

#include "app/shell/ui_constants.h"

void EndWithBox(const char* lpszText, const char* lpszCaption) {
    ShowMessageBox(lpszText, lpszCaption, kErrorBox);
    ExitProgram(1);
}
