// The About box (template 100): the program icon, two lines of text and OK. Only the hidden
// frame's command reaches it; the tray menu does not offer it.
#pragma once

#include "app/framework/framework.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = 100 };
    CAboutDlg() : CDialog(IDD) {}
};
