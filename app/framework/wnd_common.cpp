// What a window object does the same over every back end: subclassing a window by its handle or
// its dialog id, a plain child window made through CreateEx, text through the window's own
// messages, a dialog's items by id, and message boxes it owns.
#include <string>

#include "app/framework/app.h"
#include "app/framework/wnd.h"

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) {
        return FALSE;
    }
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (pParent == nullptr) {
        return FALSE;
    }
    HWND h = pParent->GetDlgItemHwnd(static_cast<int>(nID));
    return h != nullptr ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    return Detach();
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
    return static_cast<int>(const_cast<CWnd*>(this)->SendMessage(
        WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpszStringBuf)));
}

int CWnd::GetWindowTextLength() const {
    return static_cast<int>(const_cast<CWnd*>(this)->SendMessage(WM_GETTEXTLENGTH));
}

void CWnd::GetWindowText(CString& rString) const {
    const int len = GetWindowTextLength();
    std::string buffer(static_cast<std::size_t>(len) + 1, '\0');
    const int n = GetWindowText(buffer.data(), len + 1);
    rString = CString(buffer.data(), n);
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(GetDlgItemHwnd(nID));
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    if (CWnd* item = GetDlgItem(nID)) {
        item->GetWindowText(rString);
    }
    return rString.GetLength();
}

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) {
    if (CWnd* item = GetDlgItem(nID)) {
        item->SetWindowText(lpszString);
    }
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    return ::MessageBox(m_hWnd, lpszText, lpszCaption != nullptr ? lpszCaption : "", nType);
}

void CWnd::MoveWindow(const RECT* lpRect, BOOL bRepaint) {
    if (lpRect != nullptr) {
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                   lpRect->bottom - lpRect->top, bRepaint);
    }
}

void CWnd::FireTimer(UINT_PTR nIDEvent) {
    SendMessage(WM_TIMER, nIDEvent, 0);
}
