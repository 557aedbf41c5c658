// The program's menus, known to the window layer as soon as the program is loaded (linked as an
// object, like the dialog templates).
#include "app/res/menus.h"

namespace {

const MenuTemplate kMenus[] = {
    {kMenuTray, kMenu131.data(), kMenu131.size()},
};

[[maybe_unused]] const bool kMenusSet = (SetProgramMenuTemplates(kMenus, std::size(kMenus)), true);

}  // namespace
