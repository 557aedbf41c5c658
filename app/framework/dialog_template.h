// Dialog templates as data: caption, font, size and every control with id, class, text, styles
// and rectangle in dialog units. The window layer turns them into widgets; tests read them
// directly. Qt-free.
#pragma once

#include <cstddef>

#include "app/framework/win_types.h"

// Window class names as the templates spell them.
inline constexpr const char* kClassButton = "Button";
inline constexpr const char* kClassStatic = "Static";
inline constexpr const char* kClassEdit = "Edit";
inline constexpr const char* kClassListBox = "ListBox";
inline constexpr const char* kClassComboBox = "ComboBox";
inline constexpr const char* kClassTrackbar = "msctls_trackbar32";
inline constexpr const char* kClassTabControl = "SysTabControl32";

struct DialogItemTemplate {
    int nID;                // control id (IDC_STATIC for captions without one)
    const char* lpszClass;  // one of the kClass* names
    const char* lpszText;   // text at creation; empty for none
    DWORD dwStyle;          // WS_* | class styles
    DWORD dwExStyle;        // WS_EX_*
    short x, y, cx, cy;     // rectangle in dialog units
    int nImageID;           // bitmap or icon resource for picture statics, else 0
};

struct DialogTemplate {
    UINT nID;
    const char* lpszCaption;
    const char* lpszFontName;
    int nPointSize;
    DWORD dwStyle;
    DWORD dwExStyle;
    short cx, cy;  // client size in dialog units
    const DialogItemTemplate* pItems;
    std::size_t nItems;

    const DialogItemTemplate* FindItem(int nItemID) const {
        for (std::size_t i = 0; i < nItems; ++i) {
            if (pItems[i].nID == nItemID) {
                return &pItems[i];
            }
        }
        return nullptr;
    }
};

// The template with that resource id, or null. Registered templates come first, then the
// program's own.
const DialogTemplate* FindDialogTemplate(UINT nIDTemplate);
// Adds a template of the caller's (tests, tools); it must outlive its use. Null removes all.
void RegisterDialogTemplate(const DialogTemplate* pTemplate);
// The program's own templates, set once by its resources; the table must outlive its use.
void SetProgramDialogTemplates(const DialogTemplate* pTemplates, std::size_t nTemplates);

// What a screen reader calls a control of a template that shows no text of its own.
struct AccessibleNameEntry {
    UINT nTemplateID;
    int nControlID;
    const char* lpszName;
};
// The program's names, set once by its resources; the table must outlive its use.
void SetProgramAccessibleNames(const AccessibleNameEntry* pNames, std::size_t nNames);
// The program's name for that control, or null.
const char* FindAccessibleName(UINT nTemplateID, int nControlID);

// A menu resource: one popup submenu holding these commands, in order.
struct MenuItemTemplate {
    UINT nID;
    const char* lpszText;
};
struct MenuTemplate {
    UINT nID;
    const MenuItemTemplate* pItems;
    std::size_t nItems;
};
// The program's menus, set once by its resources; the table must outlive its use.
void SetProgramMenuTemplates(const MenuTemplate* pMenus, std::size_t nMenus);
// The menu with that resource id, or null.
const MenuTemplate* FindMenuTemplate(UINT nIDMenu);
