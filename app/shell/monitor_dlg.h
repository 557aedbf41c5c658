// CMonitorDlg: the main dialog (template 132, "Pelagon Graphics Monitor"), created by the frame
// on demand and deleted when the user closes it. Its member functions are split by subsystem
// into files named monitor_dlg*.cpp beside this header: construction and set-up, window
// behaviour, the clock operations, the clock tuning panel and the monitor panel.
#pragma once

#include <stdint.h>

#include "app/controls/history_chart.h"
#include "app/controls/styled_static.h"
#include "app/framework/framework.h"
#include "app/monitor/monitor_panel_link.h"
#include "app/res/resource_ids.h"

class CMainFrame;

class CMonitorDlg : public CDialog, public MonitorPanelLink {
public:
    enum { IDD = IDD_MAIN };

    explicit CMonitorDlg(CWnd* pParent = nullptr);
    ~CMonitorDlg() override;

    uint32_t m_nWorkEngine;  // working clocks: what the decoder gives and the clamp takes
    uint32_t m_nWorkMemory;
    int m_bCustomFan;
    CMainFrame* m_pFrame;
    CButton m_btnCustomFan;    // 1094
    CButton m_btnDetail;       // 1056
    CButton m_btnHeatsink;     // 1095
    CStatic m_stVpuTemp;       // 1061
    CStatic m_stFanSpeed;      // 1060
    CStatic m_stLogo;          // 1039
    CStatic m_stMemBar;        // 1035
    CStatic m_stVpuBar;        // 1034
    CStatic m_stSysInfoTitle;  // 1040
    CStatic m_stMemDefault;    // 1033
    CStatic m_stVpuDefault;    // 1032
    CEdit m_editHelp;          // 1014
    CEdit m_editFeatures;      // 1008
    int m_nEngineClock;        // MHz; slider 1004 stands on it
    int m_nMemoryClock;        // real memory clock, MHz; slider 1005 stands on twice it
    UINT_PTR m_nMonitorTimer;
    int m_bMonitorOff;
    COLORREF m_clrOldBtnFace;
    int m_nAlarmTicks;
    CHistoryChart m_chart;  // control id 100, over placeholder 1059
    CTabCtrl m_tab;         // 1010
    CListBox m_lbSysInfo;   // 1020
    CComboBox m_cbPreset;   // 1019
    CString m_strPreset;
    CStatic m_stVpuCaption;  // 1023
    CStatic m_stMemCaption;  // 1041
    CStatic m_stVpuMinus;    // 1011
    CStatic m_stVpuPlus;     // 1015
    CStatic m_stMemMinus;    // 1012
    CStatic m_stMemPlus;     // 1016
    int m_nLastVpuTemp;
    int m_nLastFanRpm;
    CStyledStatic m_stBanner;        // 1036
    CStyledStatic m_stBoardPicture;  // 1066
    CString m_strMemoryText;         // twice the memory clock, "%d"
    CString m_strEngineText;

    // Set-up helpers other subsystems call.
    void SnapToNominalClocks();
    static CString DriverVersionText();

    // Clock operations (monitor_dlg_clocks.cpp).
    void DecodeClockDividers(uint32_t word);
    uint32_t ClampAndComposeClocks();
    void ShowClockSettings();
    // The clock settings file (kest.txt): false when it was missing and could not be made
    // because the divider word was unreadable.
    bool LoadClockSettings();
    void StoreClockSettings();
    // The stored clocks into the two members (a field not all there leaves its member); false
    // when the file could not be opened.
    bool ReadStoredClocks();

    // The tab page now shown (0 "Video Settings", 1 "Product Features", 2 "Help").
    void ShowTabPage(int nPage);

    // Puts the monitor panel into the on state: "Custom Fan Speed" enabled unless there is no
    // fan, the heatsink option locked, the 1000 ms timer running, "Detail" enabled, the chip
    // re-initialised with its alarms off and the standard limits armed.
    void StartMonitor();

    // What the hardware details dialog changes here (monitor_dlg_panel.cpp).
    void SetCustomFanOn() override;
    void StartFanGuard() override;
    void StopFanGuard() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;

public:
    void OnClose();
    void OnDestroy();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnTabSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSysCommand(UINT nID, LPARAM lParam);
    // The monitor panel (monitor_dlg_panel.cpp): the once-a-second sample, the three
    // check boxes and "Detail".
    void OnTimer(UINT_PTR nIDEvent);
    void OnEnableMonitor();
    void OnCustomFan();
    void OnHeatsink();
    void OnDetail();
    // Clock tuning panel (monitor_dlg_clock_panel.cpp).
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnApply();
    void OnPresetSelChange();
    void OnPresetEditChange();
    void OnClockSliderCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);

private:
    void ApplyClockFileOnOpen();
    void AddSystemInformation();
    void SetUpFonts();
    void SetUpMonitorPanel();

    CFont m_fontLabels;  // font A: captions and the group box
    CFont m_fontValues;  // font B: the two readings
    CBrush m_brWhite;    // background of the two text pages

    DECLARE_MESSAGE_MAP()
};
