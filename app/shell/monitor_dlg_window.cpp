// The main dialog as a window: tab pages, the white text pages, Enter and Escape, close and
// destroy.
#include "app/clock/clock_file.h"
#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/shell/main_frame.h"
#include "app/shell/monitor_dlg.h"
#include "protocol/ioctl.h"

namespace {

constexpr COLORREF kWhite = 0x00FFFFFF;

// Controls each page shows; the rest of the pages' controls are hidden.
constexpr int kClockPanel[] = {1004, 1005, 1009, 1013, 1006, 1019, 1023, 1041, 1032,
                               1033, 1037, 1038, 1011, 1015, 1012, 1016, 1034, 1035};
constexpr int kMonitorPanel[] = {1042, 1056, 1059, 1062, 1063, 1060, 1061, 1064, 1065, 1076,
                                 1077, 1078, 1079, 1080, 1089, 1090, 1091, 1095, 1039};
constexpr int kBoardPicture = 1066;
constexpr int kFeaturesText = 1008;
constexpr int kHelpText = 1014;
constexpr int kCustomFan = 1094;

}  // namespace

void CMonitorDlg::ShowTabPage(int nPage) {
    const int panels = nPage == 0 ? SW_SHOW : SW_HIDE;
    for (int id : kClockPanel) {
        GetDlgItem(id)->ShowWindow(panels);
    }
    for (int id : kMonitorPanel) {
        GetDlgItem(id)->ShowWindow(panels);
    }
    m_chart.ShowWindow(panels);
    m_btnCustomFan.ShowWindow(SW_HIDE);
    if (nPage == 0) {
        GetDlgItem(kBoardPicture)->ShowWindow(SW_HIDE);
        GetDlgItem(kFeaturesText)->ShowWindow(SW_HIDE);
        GetDlgItem(kHelpText)->ShowWindow(SW_HIDE);
        if (IsFanControlBoard()) {
            m_btnCustomFan.ShowWindow(SW_SHOW);
            m_btnCustomFan.SetCheck(g_nFanControl == 1 ? BST_CHECKED : BST_UNCHECKED);
        }
        return;
    }
    GetDlgItem(kBoardPicture)->ShowWindow(SW_SHOW);
    GetDlgItem(kFeaturesText)->ShowWindow(nPage == 1 ? SW_SHOW : SW_HIDE);
    GetDlgItem(kHelpText)->ShowWindow(nPage == 2 ? SW_SHOW : SW_HIDE);
}

void CMonitorDlg::OnTabSelChange(NMHDR* /*pNMHDR*/, LRESULT* pResult) {
    ShowTabPage(m_tab.GetCurSel());
    *pResult = 0;
}

HBRUSH CMonitorDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    const int id = pWnd != nullptr ? pWnd->GetDlgCtrlID() : 0;
    if ((id == kFeaturesText || id == kHelpText) &&
        (nCtlColor == CTLCOLOR_EDIT || nCtlColor == CTLCOLOR_STATIC)) {
        pDC->SetBkColor(kWhite);
        if (!m_brWhite.IsCreated()) {
            m_brWhite.CreateSolidBrush(kWhite);
        }
        return m_brWhite;
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

// Enter and Escape hide the dialog the way the tray does, so the frame's view of it stays
// true; without a notification area there is nothing to hide to, and they do nothing.
void CMonitorDlg::OnOK() {
    if (m_pFrame == nullptr) {
        ShowWindow(SW_HIDE);
    } else if (m_pFrame->HasTray()) {
        m_pFrame->HideConfigDialog();
    }
}

void CMonitorDlg::OnCancel() {
    OnOK();
}

void CMonitorDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    CDialog::OnSysCommand(nID, lParam);
}

void CMonitorDlg::OnClose() {
    if (m_pFrame != nullptr && !m_pFrame->HasTray()) {
        // Without a tray the dialog is the program's only window: closing it is "&Exit".
        m_pFrame->RequestExit();
        return;
    }
    if (m_pFrame != nullptr) {
        m_pFrame->m_pConfigDlg = nullptr;
    }
    g_bConfigShown = 0;
    DestroyWindow();
}

void CMonitorDlg::OnDestroy() {
    if (g_nAdapterId != kAdapterRadeon9200) {
        // What the hardware holds now, read back and unsnapped, becomes the stored setting.
        if (const uint32_t current = ReadClockDividers(); current != 0) {
            MakeClockFileWritable();
            DecodeClockDividers(current);
            m_nEngineClock = static_cast<int>(m_nWorkEngine);
            m_nMemoryClock = static_cast<int>(m_nWorkMemory);
            WriteClockFile(m_nEngineClock, m_nMemoryClock);
        }
    }
    CDialog::OnDestroy();
    const int index = COLOR_BTNFACE;
    SetSysColors(1, &index, &m_clrOldBtnFace);
    m_fontLabels.DeleteObject();
    m_fontValues.DeleteObject();
    m_brWhite.DeleteObject();
    if (m_pFrame != nullptr && m_pFrame->m_pConfigDlg == this) {
        m_pFrame->m_pConfigDlg = nullptr;
    }
}

// The object goes with its window.
void CMonitorDlg::PostNcDestroy() {
    delete this;
}
