// Menus of the program as data. Menu 131 is the tray icon's popup: one submenu with these items.
#pragma once

#include <array>

struct MenuItemTemplate {
    unsigned nID;
    const char* lpszText;
};

inline constexpr std::array<MenuItemTemplate, 2> kMenu131 = {{
    {32774, "Show &Config"},
    {32773, "&Exit"},
}};
