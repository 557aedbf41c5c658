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
constexpr int kClockPanel[] = {IDC_ENGINE_SLIDER,  IDC_MEMORY_SLIDER,  IDC_ENGINE_BOX,
                               IDC_MEMORY_BOX,     IDC_APPLY,          IDC_PRESET,
                               IDC_ENGINE_CAPTION, IDC_MEMORY_CAPTION, IDC_ENGINE_DEFAULT,
                               IDC_MEMORY_DEFAULT, IDC_ENGINE_CURRENT, IDC_MEMORY_CURRENT,
                               IDC_ENGINE_MINUS,   IDC_ENGINE_PLUS,    IDC_MEMORY_MINUS,
                               IDC_MEMORY_PLUS,    IDC_ENGINE_SCALE,   IDC_MEMORY_SCALE};
constexpr int kMonitorPanel[] = {IDC_MONITOR_GROUP,
                                 IDC_DETAIL,
                                 IDC_PANEL_CHART_AREA,
                                 IDC_FAN_SPEED_CAPTION,
                                 IDC_VPU_TEMP_CAPTION,
                                 IDC_FAN_SPEED,
                                 IDC_VPU_TEMP,
                                 IDC_FAN_PICTURE,
                                 IDC_THERMOMETER_PICTURE,
                                 IDC_TEMP_LABEL_50,
                                 IDC_TEMP_LABEL_20,
                                 IDC_TEMP_LABEL_80,
                                 IDC_RPM_LABEL_3000,
                                 IDC_RPM_LABEL_7000,
                                 IDC_RPM_UNIT_BOTTOM,
                                 IDC_RPM_UNIT_TOP,
                                 IDC_ENABLE_MONITOR,
                                 IDC_HEATSINK,
                                 IDC_LOGO};

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
        GetDlgItem(IDC_BOARD_PICTURE)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_FEATURES_TEXT)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_HELP_TEXT)->ShowWindow(SW_HIDE);
        if (IsFanControlBoard()) {
            m_btnCustomFan.ShowWindow(SW_SHOW);
            m_btnCustomFan.SetCheck(g_nFanControl == 1 ? BST_CHECKED : BST_UNCHECKED);
        }
        return;
    }
    GetDlgItem(IDC_BOARD_PICTURE)->ShowWindow(SW_SHOW);
    GetDlgItem(IDC_FEATURES_TEXT)->ShowWindow(nPage == 1 ? SW_SHOW : SW_HIDE);
    GetDlgItem(IDC_HELP_TEXT)->ShowWindow(nPage == 2 ? SW_SHOW : SW_HIDE);
}

void CMonitorDlg::OnTabSelChange(NMHDR* /*pNMHDR*/, LRESULT* pResult) {
    ShowTabPage(m_tab.GetCurSel());
    *pResult = 0;
}

HBRUSH CMonitorDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    const int id = pWnd != nullptr ? pWnd->GetDlgCtrlID() : 0;
    if ((id == IDC_FEATURES_TEXT || id == IDC_HELP_TEXT) &&
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
