// The standard controls' wrappers: each call is the control's own message. The system's controls
// already keep the Windows semantics (sorted lists insert in order, positions in trackbar units,
// programmatic changes send no notifications).
#include "app/framework/controls.h"

#include <windows.h>

#include <string>

#include "app/framework/app.h"
#include "app/framework/dialog_template.h"
#include "app/framework/win32/wnd_internal.h"

namespace {

int Send(const CWnd* pWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    HWND h = pWnd->GetSafeHwnd();
    return h != nullptr ? static_cast<int>(::SendMessageA(h, message, wParam, lParam)) : -1;
}

LPARAM Text(LPCTSTR lpsz) {
    return reinterpret_cast<LPARAM>(lpsz != nullptr ? lpsz : "");
}

// An item's text through its length and text messages; the length, or the error.
int ItemText(const CWnd* pWnd, UINT lenMessage, UINT textMessage, int nIndex, CString& rString) {
    const int len = Send(pWnd, lenMessage, static_cast<WPARAM>(nIndex));
    if (len < 0) {
        rString.Empty();
        return len;
    }
    std::string buffer(static_cast<std::size_t>(len) + 1, '\0');
    const int n = Send(pWnd, textMessage, static_cast<WPARAM>(nIndex),
                       reinterpret_cast<LPARAM>(buffer.data()));
    rString = CString(buffer.data(), n > 0 ? n : 0);
    return n;
}

}  // namespace

bool IsWindowClass(HWND hWnd, const char* lpszClassName) {
    char name[64] = {};
    return hWnd != nullptr && ::GetClassNameA(hWnd, name, sizeof name) > 0 &&
           ::lstrcmpiA(name, lpszClassName) == 0;
}

CWnd* NewDefaultWrapper(const char* lpszClassName) {
    if (::lstrcmpiA(lpszClassName, kClassButton) == 0) {
        return new CButton;
    }
    if (::lstrcmpiA(lpszClassName, kClassStatic) == 0) {
        return new CStatic;
    }
    if (::lstrcmpiA(lpszClassName, kClassEdit) == 0) {
        return new CEdit;
    }
    if (::lstrcmpiA(lpszClassName, kClassListBox) == 0) {
        return new CListBox;
    }
    if (::lstrcmpiA(lpszClassName, kClassComboBox) == 0) {
        return new CComboBox;
    }
    if (::lstrcmpiA(lpszClassName, kClassTrackbar) == 0) {
        return new CSliderCtrl;
    }
    if (::lstrcmpiA(lpszClassName, kClassTabControl) == 0) {
        return new CTabCtrl;
    }
    return new CWnd;
}

BOOL SelectTabAsUser(HWND hTab, int nIndex) {
    const int count = static_cast<int>(::SendMessageA(hTab, TCM_GETITEMCOUNT, 0, 0));
    HWND parent = ::GetParent(hTab);
    if (nIndex < 0 || nIndex >= count || parent == nullptr) {
        return FALSE;
    }
    NMHDR hdr{hTab, static_cast<UINT_PTR>(::GetDlgCtrlID(hTab)), TCN_SELCHANGING};
    if (::SendMessageA(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr)) != 0) {
        return FALSE;
    }
    ::SendMessageA(hTab, TCM_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    hdr.code = TCN_SELCHANGE;
    ::SendMessageA(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    return TRUE;
}

// ---------------------------------------------------------------------------------------------

int CButton::GetCheck() const {
    return Send(this, BM_GETCHECK);
}

void CButton::SetCheck(int nCheck) {
    Send(this, BM_SETCHECK, static_cast<WPARAM>(nCheck));
}

UINT CButton::GetState() const {
    return static_cast<UINT>(Send(this, BM_GETSTATE));
}

void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) {
    Send(this, BM_SETSTYLE, nStyle, bRedraw);
}

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
    return CWnd::Create(kClassStatic, lpszText, dwStyle, rect, pParentWnd, nID);
}

BOOL CStatic::SetBitmapResource(int nIDResource) {
    HBITMAP bmp = ::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource));
    if (bmp == nullptr || GetSafeHwnd() == nullptr) {
        return FALSE;
    }
    auto old = reinterpret_cast<HBITMAP>(
        ::SendMessageA(GetSafeHwnd(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)));
    if (old != nullptr && old != bmp) {
        ::DeleteObject(old);
    }
    return TRUE;
}

void CEdit::SetReadOnly(BOOL bReadOnly) {
    Send(this, EM_SETREADONLY, static_cast<WPARAM>(bReadOnly));
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll) {
    Send(this, EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
    if (!bNoScroll) {
        Send(this, EM_SCROLLCARET);
    }
}

int CEdit::GetLineCount() const {
    return Send(this, EM_GETLINECOUNT);
}

int CListBox::AddString(LPCTSTR lpszItem) {
    return Send(this, LB_ADDSTRING, 0, Text(lpszItem));
}
int CListBox::InsertString(int nIndex, LPCTSTR lpszItem) {
    return Send(this, LB_INSERTSTRING, static_cast<WPARAM>(nIndex), Text(lpszItem));
}
int CListBox::DeleteString(UINT nIndex) {
    return Send(this, LB_DELETESTRING, nIndex);
}
void CListBox::ResetContent() {
    Send(this, LB_RESETCONTENT);
}
int CListBox::GetCount() const {
    return Send(this, LB_GETCOUNT);
}
int CListBox::GetCurSel() const {
    return Send(this, LB_GETCURSEL);
}
int CListBox::SetCurSel(int nSelect) {
    return Send(this, LB_SETCURSEL, static_cast<WPARAM>(nSelect));
}
int CListBox::GetText(int nIndex, CString& rString) const {
    return ItemText(this, LB_GETTEXTLEN, LB_GETTEXT, nIndex, rString);
}
int CListBox::GetTextLen(int nIndex) const {
    return Send(this, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex));
}
int CListBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return Send(this, LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), Text(lpszFind));
}
int CListBox::SetItemData(int nIndex, DWORD dwItemData) {
    return Send(this, LB_SETITEMDATA, static_cast<WPARAM>(nIndex), dwItemData);
}
DWORD CListBox::GetItemData(int nIndex) const {
    return static_cast<DWORD>(Send(this, LB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
}

int CComboBox::AddString(LPCTSTR lpszString) {
    return Send(this, CB_ADDSTRING, 0, Text(lpszString));
}
int CComboBox::InsertString(int nIndex, LPCTSTR lpszString) {
    return Send(this, CB_INSERTSTRING, static_cast<WPARAM>(nIndex), Text(lpszString));
}
int CComboBox::DeleteString(UINT nIndex) {
    return Send(this, CB_DELETESTRING, nIndex);
}
void CComboBox::ResetContent() {
    Send(this, CB_RESETCONTENT);
}
int CComboBox::GetCount() const {
    return Send(this, CB_GETCOUNT);
}
int CComboBox::GetCurSel() const {
    return Send(this, CB_GETCURSEL);
}
int CComboBox::SetCurSel(int nSelect) {
    return Send(this, CB_SETCURSEL, static_cast<WPARAM>(nSelect));
}
int CComboBox::GetLBText(int nIndex, CString& rString) const {
    return ItemText(this, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex, rString);
}
int CComboBox::GetLBTextLen(int nIndex) const {
    return Send(this, CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex));
}
int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return Send(this, CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), Text(lpszFind));
}
int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString) {
    return Send(this, CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), Text(lpszString));
}

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(kClassTrackbar, nullptr, dwStyle, rect, pParentWnd, nID);
}
void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw) {
    Send(this, TBM_SETRANGEMIN, FALSE, nMin);
    Send(this, TBM_SETRANGEMAX, static_cast<WPARAM>(bRedraw), nMax);
}
void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw) {
    Send(this, TBM_SETRANGEMIN, static_cast<WPARAM>(bRedraw), nMin);
}
void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw) {
    Send(this, TBM_SETRANGEMAX, static_cast<WPARAM>(bRedraw), nMax);
}
void CSliderCtrl::GetRange(int& nMin, int& nMax) const {
    nMin = GetRangeMin();
    nMax = GetRangeMax();
}
int CSliderCtrl::GetRangeMin() const {
    return Send(this, TBM_GETRANGEMIN);
}
int CSliderCtrl::GetRangeMax() const {
    return Send(this, TBM_GETRANGEMAX);
}
int CSliderCtrl::GetPos() const {
    return Send(this, TBM_GETPOS);
}
void CSliderCtrl::SetPos(int nPos) {
    Send(this, TBM_SETPOS, TRUE, nPos);
}
void CSliderCtrl::SetTicFreq(int nFreq) {
    Send(this, TBM_SETTICFREQ, static_cast<WPARAM>(nFreq));
}
int CSliderCtrl::GetLineSize() const {
    return Send(this, TBM_GETLINESIZE);
}
int CSliderCtrl::SetLineSize(int nSize) {
    return Send(this, TBM_SETLINESIZE, 0, nSize);
}
int CSliderCtrl::GetPageSize() const {
    return Send(this, TBM_GETPAGESIZE);
}
int CSliderCtrl::SetPageSize(int nSize) {
    return Send(this, TBM_SETPAGESIZE, 0, nSize);
}

int CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>(lpszItem != nullptr ? lpszItem : "");
    return Send(this, TCM_INSERTITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item));
}
BOOL CTabCtrl::DeleteItem(int nItem) {
    return Send(this, TCM_DELETEITEM, static_cast<WPARAM>(nItem)) > 0 ? TRUE : FALSE;
}
BOOL CTabCtrl::DeleteAllItems() {
    return Send(this, TCM_DELETEALLITEMS) > 0 ? TRUE : FALSE;
}
int CTabCtrl::GetItemCount() const {
    return Send(this, TCM_GETITEMCOUNT);
}
int CTabCtrl::GetCurSel() const {
    return Send(this, TCM_GETCURSEL);
}
int CTabCtrl::SetCurSel(int nItem) {
    return Send(this, TCM_SETCURSEL, static_cast<WPARAM>(nItem));
}
CString CTabCtrl::GetItemText(int nItem) const {
    char buffer[256] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    if (Send(this, TCM_GETITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)) <=
        0) {
        return CString();
    }
    return CString(item.pszText);
}
