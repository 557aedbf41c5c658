#include "app/shell/fatal_box.h"

#include "app/device/message_box.h"
#include "app/framework/app.h"
#include "app/shell/ui_constants.h"

void EndWithBox(const char* lpszText, const char* lpszCaption) {
    // Through the process's box service, as every box of the program: the system's own box on
    // each back end, a scripted one in tests.
    MessageBoxes().Show(nullptr, lpszText, lpszCaption, kErrorBox);
    ExitProgram(1);
}
