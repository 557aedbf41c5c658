// Asks the user to keep clocks that have just been programmed, counting ten seconds down;
// IDOK keeps them, IDCANCEL (Cancel, Escape, close box or the countdown running out) has the
// caller write the previous divider word back. Touches no hardware and no file itself.
#pragma once

#include "app/framework/framework.h"
#include "app/res/resource_ids.h"

class CClockConfirmDlg : public CDialog {
public:
    enum { IDD = IDD_CONFIRM_CLOCKS };

    explicit CClockConfirmDlg(CWnd* pParent = nullptr);

    CString m_strSummary;   // the new clocks, set by the caller before DoModal
    CStatic m_stMessage;    // 1025, the question
    CStatic m_stCountdown;  // 1024, the countdown
    int m_nTicks;           // timer ticks since the dialog opened

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

public:
    void OnTimer(UINT_PTR nIDEvent);

    DECLARE_MESSAGE_MAP()
};
