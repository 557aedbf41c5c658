// The program's dialog templates. Rectangles are x, y, width, height in dialog units.
#include "app/res/dialog_template.h"

#include <iterator>
#include <vector>

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kModalDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

// Confirm-and-revert of new clocks.
const DialogItemTemplate kConfirmItems[] = {
    {IDOK, kClassButton, "OK", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 105, 40, 50, 15, 0},
    {IDCANCEL, kClassButton, "Cancel", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 180, 40, 50, 15, 0},
    {1024, kClassStatic, "", kChild | SS_LEFT, 0, 10, 40, 85, 15, 0},
    {1025, kClassStatic, "Your Settings has been changed, do you wang \r\nto keep the settings?",
     kChild | SS_LEFT, 0, 79, 7, 171, 25, 0},
    {1038, kClassStatic, "", kChild | SS_BITMAP, 0, 6, 6, 58, 19, 143},
};

const DialogTemplate kTemplates[] = {
    {135, "Pelagon System Monitor", "Tahoma", 10, kModalDialog, 0, 259, 65, kConfirmItems,
     std::size(kConfirmItems)},
};

std::vector<const DialogTemplate*>& Registered() {
    static std::vector<const DialogTemplate*> registered;
    return registered;
}

}  // namespace

void RegisterDialogTemplate(const DialogTemplate* pTemplate) {
    if (pTemplate == nullptr) {
        Registered().clear();
    } else {
        Registered().push_back(pTemplate);
    }
}

const DialogTemplate* FindDialogTemplate(UINT nIDTemplate) {
    for (const DialogTemplate* t : Registered()) {
        if (t->nID == nIDTemplate) {
            return t;
        }
    }
    for (const DialogTemplate& t : kTemplates) {
        if (t.nID == nIDTemplate) {
            return &t;
        }
    }
    return nullptr;
}
