// A window's paint context from its window object: the handle is all the drawing side needs.
#include "app/framework/wnd.h"

CPaintDC::CPaintDC(CWnd* pWnd) : CPaintDC(pWnd != nullptr ? pWnd->GetSafeHwnd() : HWND{}) {}
