#include "app/clock/clock_confirm_dlg.h"

namespace {
constexpr UINT_PTR kCountdownTimer = 1;
constexpr UINT kCountdownPeriodMs = 1000;
constexpr int kTicksToRevert = 10;
}  // namespace

BEGIN_MESSAGE_MAP(CClockConfirmDlg, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

CClockConfirmDlg::CClockConfirmDlg(CWnd* pParent) : CDialog(IDD, pParent), m_nTicks(0) {}

void CClockConfirmDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1025, m_stMessage);
    DDX_Control(pDX, 1024, m_stCountdown);
}

BOOL CClockConfirmDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_nTicks = 0;
    // Without a timer the dialog simply waits for the user.
    SetTimer(kCountdownTimer, kCountdownPeriodMs, nullptr);
    m_stCountdown.SetWindowText("Reverting in: 10 seconds");
    m_stMessage.SetWindowText("New clock settings will be: " + m_strSummary +
                              ". Do you want to keep the settings?");
    return TRUE;
}

void CClockConfirmDlg::OnTimer(UINT_PTR /*nIDEvent*/) {
    ++m_nTicks;
    if (m_nTicks == kTicksToRevert) {
        CDialog::OnCancel();
        m_nTicks = 0;
        return;
    }
    // One digit: 9 after the first tick down to 1 after the ninth; the plural stays.
    CString text;
    text.Format("Reverting in: %c seconds", ':' - m_nTicks);
    m_stCountdown.SetWindowText(text);
}

void CClockConfirmDlg::OnOK() {
    m_nTicks = 0;
    CDialog::OnOK();
}

void CClockConfirmDlg::OnCancel() {
    m_nTicks = 0;
    CDialog::OnCancel();
}
