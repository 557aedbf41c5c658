#include "app/monitor/large_chart_dlg.h"

#include "app/monitor/monitored_items.h"

namespace {
constexpr UINT_PTR kPlotTimer = 1;
constexpr UINT kPlotPeriodMs = 1000;
constexpr UINT kChartId = 300;
constexpr int kChartPlaceholder = 1083;
constexpr int kLabelTop = 1084;
constexpr int kLabelMiddle = 1085;
constexpr int kLabelBottom = 1086;
}  // namespace

BEGIN_MESSAGE_MAP(CLargeChartDlg, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

CLargeChartDlg::CLargeChartDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_nLastValue(0), m_nItemIndex(0) {}

BOOL CLargeChartDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    RECT rc{0, 0, 0, 0};
    if (CWnd* placeholder = GetDlgItem(kChartPlaceholder)) {
        placeholder->GetWindowRect(&rc);
        ScreenToClient(&rc);
    }
    m_chart.Create(WS_CHILD | WS_VISIBLE, rc, this, kChartId);
    m_chart.Init();

    const BoardKind kind = ClassifyBoard();
    if (const auto item = ItemAt(kind, m_nItemIndex)) {
        const ChartLabelTexts labels = ChartLabels(*item, kind, ChartScale::Large);
        SetDlgItemText(kLabelBottom, labels.bottom.c_str());
        SetDlgItemText(kLabelMiddle, labels.middle.c_str());
        SetDlgItemText(kLabelTop, labels.top.c_str());
        SetWindowText(LargeChartTitle(*item, kind));
        m_chart.SetAccessibleName(CString(ItemListName(*item)) + " history");
    }
    m_chart.Reset();
    SetTimer(kPlotTimer, kPlotPeriodMs, nullptr);
    return TRUE;
}

void CLargeChartDlg::OnTimer(UINT_PTR nIDEvent) {
    const BoardKind kind = ClassifyBoard();
    if (const auto item = ItemAt(kind, m_nItemIndex)) {
        m_chart.SetValue(0, ChartPosition(*item, kind, m_nLastValue, ChartScale::Large));
        m_chart.AddSegment(0);
        m_chart.DrawLevel(ReferenceLevel(*item, kind, ChartScale::Large));
        m_chart.NoteReading(CString(
            FormatItemValue(*item, kind, m_nLastValue, ValueForm::Sample, CurrentFanState())));
    }
    CDialog::OnTimer(nIDEvent);
}
