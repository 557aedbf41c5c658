// The item selected in the hardware details dialog on a chart of its own, zoomed on the item's
// safe band. It reads nothing from the driver: once a second it plots the value the details
// dialog last accepted. Every showing is a new window with an empty history.
#pragma once

#include <cstdint>

#include "app/controls/history_chart.h"
#include "app/framework/framework.h"
#include "app/res/resource_ids.h"

class CLargeChartDlg : public CDialog {
public:
    enum { IDD = IDD_LARGE_CHART };

    explicit CLargeChartDlg(CWnd* pParent = nullptr);

    uint32_t m_nLastValue;  // raw units of the item; written by the details dialog's samples
    CHistoryChart m_chart;  // over 1083, control id 300; series 0 only
    int m_nItemIndex;       // list index of the item in the details dialog

protected:
    BOOL OnInitDialog() override;

public:
    void OnTimer(UINT_PTR nIDEvent);

    DECLARE_MESSAGE_MAP()
};
