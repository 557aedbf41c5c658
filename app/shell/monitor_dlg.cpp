#include "app/shell/fatal_box.h"
#include "app/shell/monitor_dlg.h"
#include "app/shell/ui_constants.h"

#include <QTimer>

#include "app/clock/board_table.h"
#include "app/clock/clock_file.h"
#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/device/settings.h"
#include "app/shell/driver_version.h"
#include "app/shell/main_frame.h"
#include "app/shell/monitor_texts.h"
#include "protocol/ioctl.h"

namespace {

constexpr UINT_PTR kMonitorTimer = 1;
constexpr UINT kMonitorPeriodMs = 1000;
constexpr uint32_t kMonitorChipId = 48;
constexpr int kLabelFontHeight = 12;
constexpr int kValueFontHeight = 13;
constexpr uint32_t kSubsystem9600A = 0x01021D5A;

}  // namespace

// The handlers of every subsystem meet in this one map.
BEGIN_MESSAGE_MAP(CMonitorDlg, CDialog)
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_WM_CTLCOLOR()
ON_WM_SYSCOMMAND()
ON_NOTIFY(TCN_SELCHANGE, 1010, OnTabSelChange)
ON_WM_TIMER()
ON_BN_CLICKED(1091, OnEnableMonitor)
ON_BN_CLICKED(1094, OnCustomFan)
ON_BN_CLICKED(1095, OnHeatsink)
ON_BN_CLICKED(1056, OnDetail)
// Clock tuning panel.
ON_WM_HSCROLL()
ON_BN_CLICKED(1006, OnApply)
ON_CBN_SELCHANGE(1019, OnPresetSelChange)
ON_CBN_EDITCHANGE(1019, OnPresetEditChange)
ON_NOTIFY(NM_CUSTOMDRAW, 1004, OnClockSliderCustomDraw)
ON_NOTIFY(NM_CUSTOMDRAW, 1005, OnClockSliderCustomDraw)
END_MESSAGE_MAP()

CMonitorDlg::CMonitorDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_nWorkEngine(0),
      m_nWorkMemory(0),
      m_bCustomFan(0),
      m_pFrame(nullptr),
      m_nEngineClock(325),
      m_nMemoryClock(311),
      m_nMonitorTimer(0),
      m_bMonitorOff(1),
      m_clrOldBtnFace(0),
      m_nAlarmTicks(0),
      m_nLastVpuTemp(0),
      m_nLastFanRpm(0) {
    if (g_nAdapterId == kAdapterRadeon9200) {
        m_nEngineClock = 250;
        m_nMemoryClock = 200;
    } else if (g_nAdapterId == kAdapterRadeon9600Pro) {
        m_nEngineClock = 400;
        m_nMemoryClock = g_nSubsystemId == kSubsystem9600A ? 275 : 300;
    } else if (g_nAdapterId == kAdapterRadeon9800Pro) {
        m_nEngineClock = 380;
        m_nMemoryClock = 340;
    }
    g_nFanControl = static_cast<int>(ReadFanControlSetting());
    if (g_nFanControl == 1) {
        m_bCustomFan = 1;
    }
    m_clrOldBtnFace = GetSysColor(COLOR_BTNFACE);
    const int index = COLOR_BTNFACE;
    const COLORREF face = kDialogButtonFace;
    SetSysColors(1, &index, &face);
}

CMonitorDlg::~CMonitorDlg() = default;

void CMonitorDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1094, m_btnCustomFan);
    DDX_Control(pDX, 1095, m_btnHeatsink);
    DDX_Control(pDX, 1056, m_btnDetail);
    DDX_Control(pDX, 1061, m_stVpuTemp);
    DDX_Control(pDX, 1060, m_stFanSpeed);
    DDX_Control(pDX, 1039, m_stLogo);
    DDX_Control(pDX, 1035, m_stMemBar);
    DDX_Control(pDX, 1034, m_stVpuBar);
    DDX_Control(pDX, 1040, m_stSysInfoTitle);
    DDX_Control(pDX, 1033, m_stMemDefault);
    DDX_Control(pDX, 1032, m_stVpuDefault);
    DDX_Control(pDX, 1014, m_editHelp);
    DDX_Control(pDX, 1008, m_editFeatures);
    DDX_Slider(pDX, 1004, m_nEngineClock);
    // The memory slider stands on twice the real clock.
    int memoryPosition = m_nMemoryClock * 2;
    DDX_Slider(pDX, 1005, memoryPosition);
    if (pDX->m_bSaveAndValidate) {
        m_nMemoryClock = memoryPosition / 2;
    }
    DDX_Control(pDX, 1036, m_stBanner);
    DDX_Control(pDX, 1066, m_stBoardPicture);
    DDX_Control(pDX, 1010, m_tab);
    DDX_Control(pDX, 1020, m_lbSysInfo);
    DDX_Control(pDX, 1019, m_cbPreset);
    DDX_Control(pDX, 1023, m_stVpuCaption);
    DDX_Control(pDX, 1041, m_stMemCaption);
    DDX_Control(pDX, 1011, m_stVpuMinus);
    DDX_Control(pDX, 1015, m_stVpuPlus);
    DDX_Control(pDX, 1012, m_stMemMinus);
    DDX_Control(pDX, 1016, m_stMemPlus);
}

BOOL CMonitorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (g_nAdapterId != kAdapterRadeon9200) {
        ApplyClockFileOnOpen();
    }
    SnapToNominalClocks();
    m_editFeatures.SetWindowText(kProductFeaturesText);
    m_editHelp.SetWindowText(kHelpText);
    SetUpFonts();

    m_tab.InsertItem(0, "Help");
    m_tab.InsertItem(0, "Product Features");
    m_tab.InsertItem(0, "Video Settings");
    m_tab.SetCurSel(0);

    AddSystemInformation();

    m_cbPreset.AddString("Preferred Settings");
    m_strPreset = "Preferred Settings";
    m_cbPreset.AddString("Default Settings");
    m_cbPreset.SetWindowText("Preferred Settings");

    GetDlgItem(1008)->ShowWindow(SW_HIDE);
    GetDlgItem(1014)->ShowWindow(SW_HIDE);
    GetDlgItem(1066)->ShowWindow(SW_HIDE);

    const BoardRow* row = FindBoardRow(g_nAdapterId, g_nSubsystemId);
    if (row == nullptr) {
        EndWithBox("Graphic Card not supported!", "ZEL");
    }
    auto* engineSlider = static_cast<CSliderCtrl*>(GetDlgItem(1004));
    engineSlider->SetRange(row->nEngineSliderMin, row->nEngineSliderMax, FALSE);
    engineSlider->SetTicFreq(5);
    engineSlider->SetLineSize(1);
    engineSlider->SetPos(m_nEngineClock);
    m_strEngineText.Format("%d", m_nEngineClock);
    SetDlgItemText(1009, m_strEngineText + "MHz");
    SetDlgItemText(1037, "current: " + m_strEngineText + "MHz");
    auto* memorySlider = static_cast<CSliderCtrl*>(GetDlgItem(1005));
    memorySlider->SetRange(row->nMemorySliderMin, row->nMemorySliderMax, FALSE);
    memorySlider->SetTicFreq(5);
    memorySlider->SetLineSize(1);
    memorySlider->SetPos(2 * m_nMemoryClock);
    m_strMemoryText.Format("%d", 2 * m_nMemoryClock);
    SetDlgItemText(1013, m_strMemoryText + "MHz");
    SetDlgItemText(1038, "current: " + m_strMemoryText + "MHz");

    CString label;
    label.Format("default: %uMHz", row->nDefaultEngine);
    m_stVpuDefault.SetWindowText(label);
    label.Format("default: %uMHz", 2 * row->nDefaultMemory);
    m_stMemDefault.SetWindowText(label);
    m_stBoardPicture.SetBitmap(row->nPicture);

    if (QueryDriverReading(IOCTL_READ_CHIP_ID) != kMonitorChipId) {
        GetDlgItem(1091)->EnableWindow(FALSE);
        ShowMessageBox("WARNING: This graphic card is not enabled with hardware monitoring.",
                       "ZEL WARNING", MB_ICONWARNING);
    }
    SetUpMonitorPanel();
    if (g_nAdapterId == kAdapterRadeon9200) {
        for (int id : {1004, 1005, 1006, 1019}) {
            GetDlgItem(id)->EnableWindow(FALSE);
        }
    }
    if (g_bMonitorOn == 1) {
        static_cast<CButton*>(GetDlgItem(1091))->SetCheck(BST_CHECKED);
        StartMonitor();
    }
    return TRUE;
}

void CMonitorDlg::ApplyClockFileOnOpen() {
    if (ReadStoredClocks()) {
        m_nWorkMemory = static_cast<uint32_t>(m_nMemoryClock);
        m_nWorkEngine = static_cast<uint32_t>(m_nEngineClock);
        if (const uint32_t word = ClampAndComposeClocks(); word != 0) {
            WriteClockDividers(word);
        }
        return;
    }
    // First run: the board's defaults go to the hardware and into a new file.
    const uint32_t current = ReadClockDividers();
    if (current == 0) {
        EndWithBox("Device access deny", "ZEL ERROR");
    }
    DecodeClockDividers(current);
    const BoardRow* row = FindBoardRow(g_nAdapterId, g_nSubsystemId);
    if (row == nullptr) {
        EndWithBox("Graphic Card not supported!", "ZEL");
    }
    m_nWorkEngine = row->nDefaultEngine;
    m_nEngineClock = static_cast<int>(row->nDefaultEngine);
    m_nWorkMemory = row->nDefaultMemory;
    m_nMemoryClock = static_cast<int>(row->nDefaultMemory);
    if (const uint32_t word = ClampAndComposeClocks(); word != 0) {
        WriteClockDividers(word);
    }
    WriteClockFile(m_nEngineClock, m_nMemoryClock);
}

void CMonitorDlg::SnapToNominalClocks() {
    const BoardRow* row = FindBoardRow(g_nAdapterId, g_nSubsystemId);
    if (row == nullptr || !SnapToNominal(*row, &m_nEngineClock, &m_nMemoryClock)) {
        return;
    }
    if (row->snap.member == SnapMember::kEngine) {
        m_nWorkEngine = static_cast<uint32_t>(m_nEngineClock);
    } else {
        m_nWorkMemory = static_cast<uint32_t>(m_nMemoryClock);
    }
}

CString CMonitorDlg::DriverVersionText() {
    return CString(ReadDriverVersionText());
}

void CMonitorDlg::SetUpFonts() {
    LOGFONT lf{};
    GetDlgItem(1023)->GetFont()->GetLogFont(&lf);
    lf.lfHeight = kLabelFontHeight;
    m_fontLabels.CreateFontIndirect(&lf);
    for (int id : {1023, 1041, 1040, 1042}) {
        GetDlgItem(id)->SetFont(&m_fontLabels, TRUE);
    }
    GetDlgItem(1061)->GetFont()->GetLogFont(&lf);
    lf.lfHeight = kValueFontHeight;
    m_fontValues.CreateFontIndirect(&lf);
    for (int id : {1060, 1061}) {
        GetDlgItem(id)->SetFont(&m_fontValues, TRUE);
    }
}

void CMonitorDlg::AddSystemInformation() {
    m_lbSysInfo.AddString("Driver Version       " + DriverVersionText());
    CString line;
    const uint32_t size = QueryAdapterInfo(2);
    if (size == 0) {
        line = "Memory Size        Unknown";
    } else {
        line.Format("Memory Size        %dM DDR",
                    g_nAdapterId == kAdapterRadeon9600Pro ? 128 : static_cast<int>(size));
    }
    m_lbSysInfo.AddString(line);
    const uint32_t mode = QueryAdapterInfo(5);
    if (mode != 0) {
        line.Format("AGP MAX Mode     %dX", static_cast<int>(mode));
    } else {
        line = "AGP MAX Mode     Unknown";
    }
    m_lbSysInfo.AddString(line);
    if (const BoardRow* row = FindBoardRow(g_nAdapterId, g_nSubsystemId)) {
        line.Format("VPU                     %s", row->lpszModel);
        m_lbSysInfo.AddString(line);
    }
}

void CMonitorDlg::SetUpMonitorPanel() {
    m_stFanSpeed.SetWindowText("Unknown");
    m_stVpuTemp.SetWindowText("Unknown");
    m_btnDetail.EnableWindow(FALSE);

    RECT rc{};
    GetDlgItem(1059)->GetWindowRect(&rc);
    ScreenToClient(&rc);
    m_chart.Create(WS_CHILD | WS_VISIBLE, rc, this, 100);
    m_chart.Init();

    m_stBanner.SetBitmap(157).SetStretch(TRUE);
    m_stBanner.RedrawWindow();

    for (int id : {1078, 1076, 1077, 1079, 1080, 1089, 1090, 1091}) {
        GetDlgItem(id)->ShowWindow(SW_SHOW);
    }
    g_nNoFan = static_cast<int>(ReadNoFanSetting());
    m_btnHeatsink.SetCheck(g_nNoFan == 1 ? BST_CHECKED : BST_UNCHECKED);
    m_btnCustomFan.EnableWindow(g_nNoFan == 1 ? FALSE : TRUE);
    m_btnHeatsink.ShowWindow(SW_SHOW);
    if (IsFanControlBoard()) {
        m_btnCustomFan.ShowWindow(SW_SHOW);
        g_nFanControl = static_cast<int>(ReadFanControlSetting());
        m_btnCustomFan.SetCheck(g_nFanControl == 1 ? BST_CHECKED : BST_UNCHECKED);
    } else {
        m_btnCustomFan.ShowWindow(SW_HIDE);
    }
    QueryDriverReading(IOCTL_ALARMS_OFF);
}

void CMonitorDlg::StartMonitor() {
    m_bMonitorOff = 0;
    m_btnCustomFan.EnableWindow(g_nNoFan != 1 ? TRUE : FALSE);
    m_btnHeatsink.EnableWindow(FALSE);
    m_nMonitorTimer = SetTimer(kMonitorTimer, kMonitorPeriodMs, nullptr);
    m_btnDetail.EnableWindow(TRUE);
    QueryDriverReading(IOCTL_REINIT_MONITOR);
    QueryDriverReading(IOCTL_ALARMS_OFF);
    ApplyAlarmLimits();
}
