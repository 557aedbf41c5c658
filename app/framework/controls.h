// Wrappers of the standard controls with the method names the handlers use. Each wraps the
// widget the dialog template made (or that Create makes) and keeps the Windows semantics:
// sorted lists insert in order, positions are trackbar units, programmatic changes send no
// notifications.
#pragma once

#include "app/framework/wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int nCheck);
    UINT GetState() const;
    // Push-button style toggles (BS_DEFPUSHBUTTON and friends).
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
};

class CStatic : public CWnd {
public:
    // Creates a static child (text, picture or rectangle by style).
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID = 0xFFFF);
    // Shows the bitmap resource nIDResource in an SS_BITMAP static; FALSE when it does not exist.
    BOOL SetBitmapResource(int nIDResource);
};

class CEdit : public CWnd {
public:
    void SetReadOnly(BOOL bReadOnly = TRUE);
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    int GetLineCount() const;
};

class CListBox : public CWnd {
public:
    // Adds at the end, or in order for an LBS_SORT box; the index, or LB_ERR.
    int AddString(LPCTSTR lpszItem);
    int InsertString(int nIndex, LPCTSTR lpszItem);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const;
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
    int SetItemData(int nIndex, DWORD dwItemData);
    DWORD GetItemData(int nIndex) const;
};

class CComboBox : public CWnd {
public:
    int AddString(LPCTSTR lpszString);
    int InsertString(int nIndex, LPCTSTR lpszString);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const;
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCTSTR lpszString);
};

class CSliderCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE);
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE);
    void GetRange(int& nMin, int& nMax) const;
    int GetRangeMin() const;
    int GetRangeMax() const;
    int GetPos() const;
    void SetPos(int nPos);
    void SetTicFreq(int nFreq);
    int GetLineSize() const;
    int SetLineSize(int nSize);
    int GetPageSize() const;
    int SetPageSize(int nSize);
};

class CTabCtrl : public CWnd {
public:
    // Inserts a text item; its index, or -1.
    int InsertItem(int nItem, LPCTSTR lpszItem);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    int GetCurSel() const;
    int SetCurSel(int nItem);
    CString GetItemText(int nItem) const;
};
