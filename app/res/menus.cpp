// The program's menus, known to the window layer as soon as the program is loaded (linked as an
// object, like the dialog templates).
#include "app/res/menus.h"

namespace {

[[maybe_unused]] const bool kMenusSet =
    (SetProgramMenuTemplates(kProgramMenus, std::size(kProgramMenus)), true);

}  // namespace
