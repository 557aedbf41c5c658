// The hardware details dialog that the main dialog's "Detail" button opens: pick one monitored
// item from a list and watch its value, safe range, safe/unsafe status and a history chart,
// refreshed once a second; click the chart for the large chart. For the fan, on boards with fan
// control, a speed slider, "Stop the Fan" (RADEON 9200) and "Disable fan auto-control" (the
// other fan-control boards).
#pragma once

#include <cstdint>
#include <memory>

#include "app/controls/history_chart.h"
#include "app/controls/styled_static.h"
#include "app/framework/framework.h"
#include "app/monitor/large_chart_dlg.h"
#include "app/monitor/monitor_panel_link.h"
#include "app/monitor/monitored_items.h"
#include "app/res/resource_ids.h"

class CHardwareDetailsDlg : public CDialog {
public:
    enum { IDD = IDD_HARDWARE_DETAILS };

    explicit CHardwareDetailsDlg(CWnd* pParent = nullptr);
    ~CHardwareDetailsDlg() override;

    // Writes every per-item display for the item at list index nIndex.
    void ShowItem(int nIndex);

    uint32_t m_nLastValue;                          // last accepted value, raw units
    MonitorPanelLink* m_pMonitorDlg;                // set by the opener before DoModal
    CStyledStatic m_stBanner;                       // 1036
    CStyledStatic m_stTitle;                        // 1068
    std::unique_ptr<CLargeChartDlg> m_pLargeChart;  // lives as long as this object
    CButton m_btnStopFan;                           // 1102
    CSliderCtrl m_sliderFan;                        // 1046
    CListBox m_lbItems;                             // 1020, sorted
    CString m_strDescription;                       // 1070
    CString m_strCurrent;                           // 1073
    CString m_strSafeRange;                         // 1075
    int m_nAlarmTicks;                              // consecutive unsafe samples
    int m_bItemSafe;                                // verdict of the latest sample
    CHistoryChart m_chart;                          // over 1067, control id 100; series 0 only

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

public:
    void OnSelChangeItems();
    void OnTimer(UINT_PTR nIDEvent);
    void OnChartClicked();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBeepTest();
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnStopFan();
    void OnFanAutoControl();

    DECLARE_MESSAGE_MAP()

private:
    // Shows the slider and its captions (with the board's button), or the help hint instead.
    void ShowFanControls(bool bShow);
    // The selection-form value, unit, safe range and description of an item; the value read.
    uint32_t ShowSelectionTexts(MonitoredItem item);
    void SetCurrentText(const CString& text);
    void SetChartLabels(const char* lpszBottom, const char* lpszMiddle, const char* lpszTop);
    void SetSliderFromDrive();
    CButton* FanAutoControlButton() const;

    CFont m_fontCaption;  // the larger caption font, owned until the dialog object goes
};
