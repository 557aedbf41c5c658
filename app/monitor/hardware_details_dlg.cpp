#include "app/monitor/hardware_details_dlg.h"

#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/device/settings.h"
#include "app/monitor/alarm_policy.h"
#include "app/monitor/fan_slider_table.h"
#include "app/monitor/monitored_items.h"
#include "app/res/resource_ids.h"
#include "protocol/ioctl.h"

namespace {

constexpr UINT_PTR kSampleTimer = 1;
constexpr UINT kSamplePeriodMs = 1000;
constexpr UINT kChartId = 100;
constexpr int kFanIndex = 0;
constexpr uint32_t kFailedReading = 0xFFFFFFFFu;

enum : int {
    IDC_ITEMS = 1020,
    IDC_ITEM_CAPTION = 1045,
    IDC_FAN_SLIDER = 1046,
    IDC_CHART = 1067,
    IDC_TITLE = 1068,
    IDC_DESCRIPTION_CAPTION = 1069,
    IDC_DESCRIPTION = 1070,
    IDC_HINT_TEXT = 1072,
    IDC_CURRENT = 1073,
    IDC_SAFE_RANGE = 1075,
    IDC_LABEL_BOTTOM = 1079,
    IDC_LABEL_MIDDLE = 1080,
    IDC_LABEL_TOP = 1081,
    IDC_STATUS = 1082,
    IDC_UNIT = 1088,
    IDC_BEEP_TEST = 1092,
    IDC_FAN_CAPTION = 1095,
    IDC_HINT_ICON = 1096,
    IDC_FASTEST = 1097,
    IDC_NOISELESS = 1098,
    IDC_DRAG_HINT = 1099,
    IDC_STOP_FAN = 1102,
    IDC_FAN_AUTO = 1103,
    IDC_BANNER = 1036,
};

constexpr int kCaptionFontHeight = 12;
constexpr const char* kSafeText = "Item Value is SAFE now!";
constexpr const char* kUnsafeText = "Item Value is NOT SAFE!";
constexpr COLORREF kUnsafeColor = RGB(255, 0, 0);
constexpr UINT kFanBoxStyle = MB_OKCANCEL | MB_ICONEXCLAMATION;

// The driver's mark of a failed sensor transaction is never shown or judged: it reads as a
// failed request does.
uint32_t ReadItem(MonitoredItem item) {
    const uint32_t raw = QueryDriverReading(ItemRequest(item));
    return raw == kFailedReading ? 0 : raw;
}

}  // namespace

BEGIN_MESSAGE_MAP(CHardwareDetailsDlg, CDialog)
ON_LBN_SELCHANGE(IDC_ITEMS, OnSelChangeItems)
ON_WM_TIMER()
ON_STN_CLICKED(IDC_CHART, OnChartClicked)
ON_WM_CTLCOLOR()
ON_BN_CLICKED(IDC_BEEP_TEST, OnBeepTest)
ON_WM_HSCROLL()
ON_BN_CLICKED(IDC_STOP_FAN, OnStopFan)
ON_BN_CLICKED(IDC_FAN_AUTO, OnFanAutoControl)
END_MESSAGE_MAP()

CHardwareDetailsDlg::CHardwareDetailsDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_nLastValue(0),
      m_pMonitorDlg(nullptr),
      m_pLargeChart(std::make_unique<CLargeChartDlg>(this)),
      m_nAlarmTicks(0),
      m_bItemSafe(1) {
    m_pLargeChart->m_nLastValue = 0;
}

CHardwareDetailsDlg::~CHardwareDetailsDlg() {
    // The window (and the large chart's, which it owns) goes before the members it uses.
    if (GetSafeHwnd() != nullptr) {
        DestroyWindow();
    }
    m_fontCaption.DeleteObject();
}

void CHardwareDetailsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STOP_FAN, m_btnStopFan);
    DDX_Control(pDX, IDC_FAN_SLIDER, m_sliderFan);
    DDX_Control(pDX, IDC_ITEMS, m_lbItems);
    DDX_Control(pDX, IDC_TITLE, m_stTitle);
    DDX_Control(pDX, IDC_BANNER, m_stBanner);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
    DDX_Text(pDX, IDC_CURRENT, m_strCurrent);
    DDX_Text(pDX, IDC_SAFE_RANGE, m_strSafeRange);
}

BOOL CHardwareDetailsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const BoardKind kind = ClassifyBoard();

    for (MonitoredItem item : ItemAddOrder(kind)) {
        m_lbItems.AddString(ItemListName(item));
    }
    m_lbItems.SetCurSel(kFanIndex);
    SetChartLabels(" 3000", " 5000", " 7000");

    // The captions and the two value fields in a larger copy of the dialog font.
    LOGFONT lf{};
    if (CWnd* caption = GetDlgItem(IDC_ITEM_CAPTION)) {
        caption->GetFont()->GetLogFont(&lf);
    }
    lf.lfHeight = kCaptionFontHeight;
    m_fontCaption.DeleteObject();
    m_fontCaption.CreateFontIndirect(&lf);
    for (int id : {IDC_ITEM_CAPTION, IDC_DESCRIPTION_CAPTION, IDC_CURRENT, IDC_SAFE_RANGE}) {
        if (CWnd* control = GetDlgItem(id)) {
            control->SetFont(&m_fontCaption, TRUE);
        }
    }

    m_stTitle.SetText("HARDWARE DETAILS").SetFontName("Tahoma").SetFontSize(20).SetFontBold(TRUE);
    m_stBanner.SetBitmap(kBitmapBanner).SetStretch(TRUE);

    // The fan's texts as a selection writes them, without touching the fan controls.
    m_nLastValue = ShowSelectionTexts(MonitoredItem::FanSpeed);

    RECT rc{0, 0, 0, 0};
    if (CWnd* placeholder = GetDlgItem(IDC_CHART)) {
        placeholder->GetWindowRect(&rc);
        ScreenToClient(&rc);
    }
    m_chart.Create(WS_CHILD | WS_VISIBLE, rc, this, kChartId);
    m_chart.Init();
    // Clicks on the chart belong to the placeholder beneath it, which opens the large chart.
    if (m_chart.GetSafeHwnd() != nullptr) {
        m_chart.ModifyStyleEx(0, WS_EX_TRANSPARENT);
    }

    SetTimer(kSampleTimer, kSamplePeriodMs, nullptr);

    // The fan controls appear only once the user picks an item.
    m_sliderFan.SetRange(1, 15, FALSE);
    m_sliderFan.ShowWindow(SW_HIDE);
    for (int id :
         {IDC_FAN_CAPTION, IDC_FASTEST, IDC_NOISELESS, IDC_DRAG_HINT, IDC_STOP_FAN, IDC_FAN_AUTO}) {
        if (CWnd* control = GetDlgItem(id)) {
            control->ShowWindow(SW_HIDE);
        }
    }
    return TRUE;
}

void CHardwareDetailsDlg::SetCurrentText(const CString& text) {
    m_strCurrent = text;
    SetDlgItemText(IDC_CURRENT, m_strCurrent);
}

void CHardwareDetailsDlg::SetChartLabels(const char* lpszBottom, const char* lpszMiddle,
                                         const char* lpszTop) {
    SetDlgItemText(IDC_LABEL_BOTTOM, lpszBottom);
    SetDlgItemText(IDC_LABEL_MIDDLE, lpszMiddle);
    SetDlgItemText(IDC_LABEL_TOP, lpszTop);
}

CButton* CHardwareDetailsDlg::FanAutoControlButton() const {
    return dynamic_cast<CButton*>(GetDlgItem(IDC_FAN_AUTO));
}

void CHardwareDetailsDlg::SetSliderFromDrive() {
    const auto drive = static_cast<int>(QueryDriverReading(IOCTL_GET_FAN_DRIVE));
    m_sliderFan.SetPos(FanDriveToPosition(ClassifyBoard(), drive));
}

void CHardwareDetailsDlg::ShowFanControls(bool bShow) {
    const int hint = bShow ? SW_HIDE : SW_SHOW;
    const int fan = bShow ? SW_SHOW : SW_HIDE;
    for (int id : {IDC_HINT_ICON, IDC_HINT_TEXT}) {
        if (CWnd* control = GetDlgItem(id)) {
            control->ShowWindow(hint);
        }
    }
    for (int id : {IDC_FAN_CAPTION, IDC_FASTEST, IDC_NOISELESS, IDC_DRAG_HINT}) {
        if (CWnd* control = GetDlgItem(id)) {
            control->ShowWindow(fan);
        }
    }
    if (!bShow) {
        m_sliderFan.ShowWindow(SW_HIDE);
        m_btnStopFan.ShowWindow(SW_HIDE);
        if (CButton* autoControl = FanAutoControlButton()) {
            autoControl->ShowWindow(SW_HIDE);
        }
        return;
    }
    m_sliderFan.SetRange(1, FanSliderMax(ClassifyBoard()), FALSE);
    m_sliderFan.SetTicFreq(1);
    SetSliderFromDrive();
    m_sliderFan.ShowWindow(SW_SHOW);
    CButton* autoControl = FanAutoControlButton();
    if (ClassifyBoard() == BoardKind::Kind9200) {
        if (autoControl != nullptr) {
            autoControl->ShowWindow(SW_HIDE);
        }
        m_btnStopFan.ShowWindow(SW_SHOW);
    } else {
        m_btnStopFan.ShowWindow(SW_HIDE);
        if (autoControl != nullptr) {
            autoControl->ShowWindow(SW_SHOW);
            if (g_nFan4Temp != 0) {
                autoControl->SetCheck(BST_CHECKED);
            }
        }
    }
}

uint32_t CHardwareDetailsDlg::ShowSelectionTexts(MonitoredItem item) {
    const BoardKind kind = ClassifyBoard();
    const FanState fan = CurrentFanState();
    uint32_t value = 0;
    CString current;
    if (item == MonitoredItem::FanSpeed && fan.nNoFan == 1) {
        current = "Unknown";
    } else if (item == MonitoredItem::FanSpeed && kind == BoardKind::Kind9200 && fan.bFanStopped) {
        current = "Stopped!";
    } else {
        value = ReadItem(item);
        current = CString(FormatItemValue(item, kind, value, ValueForm::Selection, fan));
    }
    SetCurrentText(current);
    SetDlgItemText(IDC_UNIT, UnitLabel(item));
    m_strSafeRange = SafeRangeText(item, kind);
    SetDlgItemText(IDC_SAFE_RANGE, m_strSafeRange);
    m_strDescription = Description(item);
    SetDlgItemText(IDC_DESCRIPTION, m_strDescription);
    return value;
}

void CHardwareDetailsDlg::ShowItem(int nIndex) {
    const BoardKind kind = ClassifyBoard();
    const auto item = ItemAt(kind, nIndex);
    if (!item) {
        m_nLastValue = 0;
        return;
    }
    ShowFanControls(*item == MonitoredItem::FanSpeed && IsFanControlBoard() && g_bFanStopped == 0 &&
                    g_nNoFan != 1);
    const uint32_t value = ShowSelectionTexts(*item);
    const ChartLabelTexts labels = ChartLabels(*item, kind, ChartScale::Small);
    SetChartLabels(labels.bottom.c_str(), labels.middle.c_str(), labels.top.c_str());
    m_chart.Reset();
    m_chart.SetAccessibleName(CString(ItemListName(*item)) + " history");
    m_nLastValue = value;
}

void CHardwareDetailsDlg::OnSelChangeItems() {
    m_nLastValue = 0;
    const int sel = m_lbItems.GetCurSel();
    if (sel != LB_ERR) {
        ShowItem(sel);
    }
    m_nAlarmTicks = 0;
    m_bItemSafe = 1;
    SetDlgItemText(IDC_STATUS, kSafeText);
}

void CHardwareDetailsDlg::OnTimer(UINT_PTR nIDEvent) {
    const BoardKind kind = ClassifyBoard();
    const auto item = ItemAt(kind, m_lbItems.GetCurSel());
    if (!item) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    const FanState fan = CurrentFanState();
    uint32_t value = 0;
    bool bSafe = true;
    std::string text;
    if (*item == MonitoredItem::FanSpeed && fan.nNoFan == 1) {
        text = "Unknown";
        value = 3000;
    } else {
        value = FilterReading(*item, kind, QueryDriverReading(ItemRequest(*item)), m_nLastValue);
        if (*item == MonitoredItem::FanSpeed) {
            SetSliderFromDrive();
        }
        bSafe = IsItemSafe(*item, kind, value, fan);
        text = FormatItemValue(*item, kind, value, ValueForm::Sample, fan);
    }

    m_bItemSafe = bSafe ? 1 : 0;
    CString status = bSafe ? kSafeText : kUnsafeText;
    if (bSafe && m_lbItems.GetCurSel() == kFanIndex) {
        if (fan.nNoFan == 1) {
            status = "No fan monitoring!";
        } else if (fan.bFanStopped && kind == BoardKind::Kind9200) {
            status = "The Fan is set for stopping now!";
        }
    }
    SetDlgItemText(IDC_STATUS, status);
    if (!AlarmStep(m_nAlarmTicks, bSafe, WarningText(*item), kDetailsRestartText, this)) {
        return;  // the window went while the alarm boxes were open
    }

    SetCurrentText(CString(text));
    const int position = *item == MonitoredItem::FanSpeed && fan.nNoFan == 1
                             ? 100
                             : ChartPosition(*item, kind, value, ChartScale::Small);
    m_chart.SetValue(0, position);
    m_chart.AddSegment(0);
    m_chart.DrawLevel(ReferenceLevel(*item, kind, ChartScale::Small));
    m_chart.NoteReading(CString(text));
    m_nLastValue = value;
    m_pLargeChart->m_nLastValue = value;
    CDialog::OnTimer(nIDEvent);
}

void CHardwareDetailsDlg::OnChartClicked() {
    m_pLargeChart->m_nItemIndex = m_lbItems.GetCurSel();
    m_pLargeChart->DoModal();
}

HBRUSH CHardwareDetailsDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd != nullptr && pWnd->GetDlgCtrlID() == IDC_STATUS && m_bItemSafe == 0) {
        pDC->SetTextColor(kUnsafeColor);
    }
    return hbr;
}

void CHardwareDetailsDlg::OnBeepTest() {
    BeepTest(this);
}

void CHardwareDetailsDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) {
    if (pScrollBar == &m_sliderFan) {
        const int drive = PositionToFanDrive(ClassifyBoard(), m_sliderFan.GetPos());
        SendDriverValue(IOCTL_SET_FAN_DRIVE, static_cast<uint32_t>(drive));
        WriteFanSpeedSetting(static_cast<uint32_t>(drive));
        g_nFanControl = 1;
        WriteFanControlSetting(1);
        if (m_pMonitorDlg != nullptr) {
            m_pMonitorDlg->SetCustomFanOn();
            m_pMonitorDlg->StopFanGuard();
            if (g_nFan4Temp == 0) {
                m_pMonitorDlg->StartFanGuard();
            }
        }
        g_bFanGuardTripped = 0;
    }
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CHardwareDetailsDlg::OnStopFan() {
    const HWND window = GetSafeHwnd();
    if (g_bFanStopped == 0) {
        const int answer = MessageBox(
            "Warning: You will stop the fan. This is not recommended and will disable the beeper!",
            kAlarmCaption, kFanBoxStyle);
        if (!::IsWindow(window)) {
            return;  // closed while the box was open: the fan stays as it is
        }
        if (answer == IDOK) {
            SendDriverValue(IOCTL_SET_FAN_DRIVE, 0);
            QueryDriverReading(IOCTL_ALARMS_OFF);
            g_bFanStopped = 1;
            m_sliderFan.EnableWindow(FALSE);
            m_btnStopFan.SetCheck(BST_CHECKED);
        } else {
            m_btnStopFan.SetCheck(BST_UNCHECKED);
        }
        return;
    }
    const int answer = MessageBox("Warning: You will start the fan!", kAlarmCaption, kFanBoxStyle);
    if (!::IsWindow(window)) {
        return;
    }
    if (answer == IDOK) {
        SendDriverValue(IOCTL_SET_FAN_DRIVE, 255);
        g_bFanStopped = 0;
        ApplyAlarmLimits();
        m_sliderFan.EnableWindow(TRUE);
        m_btnStopFan.SetCheck(BST_UNCHECKED);
    } else {
        m_btnStopFan.SetCheck(BST_CHECKED);
    }
}

void CHardwareDetailsDlg::OnFanAutoControl() {
    const HWND window = GetSafeHwnd();
    g_nFan4Temp = static_cast<int>(ReadFan4TempSetting());
    if (g_nFan4Temp == 0) {
        const int answer = MessageBox(
            "Warning: You will stop the auto-fan-control mechanism! The fan will not auto speed "
            "up when temperature goes high!",
            kAlarmCaption, kFanBoxStyle);
        if (!::IsWindow(window)) {
            return;  // closed while the box was open: nothing changes
        }
        if (answer == IDOK) {
            g_nFan4Temp = 1;
            FanAutoControlButton()->SetCheck(BST_CHECKED);
            if (m_pMonitorDlg != nullptr) {
                m_pMonitorDlg->StopFanGuard();
            }
        } else {
            FanAutoControlButton()->SetCheck(BST_UNCHECKED);
        }
    } else {
        const int answer =
            MessageBox("Warning: The fan will auto speed up when Temperature goes high!",
                       kAlarmCaption, kFanBoxStyle);
        if (!::IsWindow(window)) {
            return;
        }
        if (answer == IDOK) {
            const uint32_t drive = QueryDriverReading(IOCTL_GET_FAN_DRIVE);
            g_nFan4Temp = 0;
            FanAutoControlButton()->SetCheck(BST_UNCHECKED);
            if (drive != 255 && m_pMonitorDlg != nullptr) {
                m_pMonitorDlg->StartFanGuard();
            }
        } else {
            FanAutoControlButton()->SetCheck(BST_CHECKED);
        }
    }
    WriteFan4TempSetting(static_cast<uint32_t>(g_nFan4Temp));
}
