// Where dialogs find their templates: the caller's registered ones, then the program's table.
#include "app/framework/dialog_template.h"

#include <vector>

namespace {

std::vector<const DialogTemplate*>& Registered() {
    static std::vector<const DialogTemplate*> registered;
    return registered;
}

const DialogTemplate* g_pProgramTemplates = nullptr;
std::size_t g_nProgramTemplates = 0;
const AccessibleNameEntry* g_pProgramNames = nullptr;
std::size_t g_nProgramNames = 0;
const MenuTemplate* g_pProgramMenus = nullptr;
std::size_t g_nProgramMenus = 0;

}  // namespace

void RegisterDialogTemplate(const DialogTemplate* pTemplate) {
    if (pTemplate == nullptr) {
        Registered().clear();
    } else {
        Registered().push_back(pTemplate);
    }
}

void SetProgramDialogTemplates(const DialogTemplate* pTemplates, std::size_t nTemplates) {
    g_pProgramTemplates = pTemplates;
    g_nProgramTemplates = nTemplates;
}

const DialogTemplate* FindDialogTemplate(UINT nIDTemplate) {
    for (const DialogTemplate* t : Registered()) {
        if (t->nID == nIDTemplate) {
            return t;
        }
    }
    for (std::size_t i = 0; i < g_nProgramTemplates; ++i) {
        if (g_pProgramTemplates[i].nID == nIDTemplate) {
            return &g_pProgramTemplates[i];
        }
    }
    return nullptr;
}

void SetProgramAccessibleNames(const AccessibleNameEntry* pNames, std::size_t nNames) {
    g_pProgramNames = pNames;
    g_nProgramNames = nNames;
}

const char* FindAccessibleName(UINT nTemplateID, int nControlID) {
    for (std::size_t i = 0; i < g_nProgramNames; ++i) {
        if (g_pProgramNames[i].nTemplateID == nTemplateID &&
            g_pProgramNames[i].nControlID == nControlID) {
            return g_pProgramNames[i].lpszName;
        }
    }
    return nullptr;
}

void SetProgramMenuTemplates(const MenuTemplate* pMenus, std::size_t nMenus) {
    g_pProgramMenus = pMenus;
    g_nProgramMenus = nMenus;
}

const MenuTemplate* FindMenuTemplate(UINT nIDMenu) {
    for (std::size_t i = 0; i < g_nProgramMenus; ++i) {
        if (g_pProgramMenus[i].nID == nIDMenu) {
            return &g_pProgramMenus[i];
        }
    }
    return nullptr;
}
