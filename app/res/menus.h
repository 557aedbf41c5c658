// Menus of the program as data. Menu 131 is the tray icon's popup: one submenu with these items.
#pragma once

#include <array>

#include "app/framework/dialog_template.h"
#include "app/res/resource_ids.h"

inline constexpr std::array<MenuItemTemplate, 2> kMenu131 = {{
    {ID_SHOW_CONFIG, "Show &Config"},
    {ID_APP_EXIT_TRAY, "&Exit"},
}};

// Every menu of the program.
inline constexpr MenuTemplate kProgramMenus[] = {
    {kMenuTray, kMenu131.data(), kMenu131.size()},
};
