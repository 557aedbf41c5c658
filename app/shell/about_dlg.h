// The About box (template 100): the program icon, two lines of text and OK. Only the hidden
// frame's command reaches it; the tray menu does not offer it.
#pragma once

#include "app/framework/framework.h"
#include "app/res/resource_ids.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUT };
    CAboutDlg() : CDialog(IDD) {}
};
