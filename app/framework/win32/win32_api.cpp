// What win32_api.h adds to the system's calls: the program's module, and its menus, which come
// from the module's resources or, where it carries none, from the program's menu data.
#include "app/framework/win32_api.h"

#include "app/framework/dialog_template.h"

HINSTANCE AfxGetInstanceHandle() {
    return ::GetModuleHandleA(nullptr);
}

HMENU LoadMenu(HINSTANCE hInstance, LPCSTR lpMenuName) {
    if (HMENU menu = ::LoadMenuA(hInstance, lpMenuName)) {
        return menu;
    }
    const MenuTemplate* tmpl =
        IS_INTRESOURCE(lpMenuName)
            ? FindMenuTemplate(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpMenuName)))
            : nullptr;
    if (tmpl == nullptr) {
        return nullptr;
    }
    HMENU menu = ::CreateMenu();
    HMENU popup = ::CreatePopupMenu();
    for (std::size_t i = 0; i < tmpl->nItems; ++i) {
        ::AppendMenuA(popup, MF_STRING, tmpl->pItems[i].nID, tmpl->pItems[i].lpszText);
    }
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "");
    return menu;
}
