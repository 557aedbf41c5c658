// The clock tuning panel of the main dialog: the two sliders, "&Apply" with its confirm-or-revert
// step, the preset box and its text guards, and the clock settings file behind them.
#include "app/clock/board_table.h"
#include "app/clock/clock_confirm_dlg.h"
#include "app/clock/clock_file.h"
#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/shell/fatal_box.h"
#include "app/shell/monitor_dlg.h"
#include "app/shell/ui_constants.h"

namespace {
constexpr int kEngineSlider = 1004;
constexpr int kMemorySlider = 1005;
constexpr int kEngineBox = 1009;
constexpr int kMemoryBox = 1013;
constexpr int kDefaultSettingsIndex = 0;
}  // namespace

void CMonitorDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) {
    const int id = pScrollBar != nullptr ? pScrollBar->GetDlgCtrlID() : 0;
    if (id == kEngineSlider) {
        m_nEngineClock = static_cast<CSliderCtrl*>(pScrollBar)->GetPos();
        m_strEngineText.Format("%d", m_nEngineClock);
        SetDlgItemText(kEngineBox, m_strEngineText + "MHz");
    } else if (id == kMemorySlider) {
        m_nMemoryClock = static_cast<CSliderCtrl*>(pScrollBar)->GetPos() / 2;
        m_strMemoryText.Format("%d", m_nMemoryClock * 2);
        SetDlgItemText(kMemoryBox, m_strMemoryText + "MHz");
    } else {
        return;
    }
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

// The new clocks go to the hardware at once; the user then has ten seconds to keep them, and
// anything but OK puts the previous divider word back exactly as it was read.
void CMonitorDlg::OnApply() {
    m_nWorkEngine = static_cast<uint32_t>(m_nEngineClock);
    m_nWorkMemory = static_cast<uint32_t>(m_nMemoryClock);
    const uint32_t old = ReadClockDividers();
    if (old == 0) {
        return;
    }
    if (const uint32_t word = ClampAndComposeClocks(); word != 0) {
        WriteClockDividers(word);
    }
    DecodeClockDividers(ReadClockDividers());
    m_nEngineClock = static_cast<int>(m_nWorkEngine);
    m_nMemoryClock = static_cast<int>(m_nWorkMemory);
    SnapToNominalClocks();

    CClockConfirmDlg confirm;
    confirm.m_strSummary.Format("VPU SPEED->%d MHz/MEMORY SPEED->%d MHz", m_nEngineClock,
                                m_nMemoryClock * 2);
    const INT_PTR result = confirm.DoModal();
    if (result == IDOK) {
        ShowClockSettings();
        StoreClockSettings();
    } else if (result == IDCANCEL) {
        WriteClockDividers(old);
        DecodeClockDividers(old);
        m_nEngineClock = static_cast<int>(m_nWorkEngine);
        m_nMemoryClock = static_cast<int>(m_nWorkMemory);
        SnapToNominalClocks();
        ShowClockSettings();
    }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// A preset applies at once, without asking, and becomes the stored setting.
void CMonitorDlg::OnPresetSelChange() {
    const int index = m_cbPreset.GetCurSel();
    if (!LoadClockSettings()) {
        return;
    }
    if (index == kDefaultSettingsIndex) {
        const BoardRow* row = FindBoardRow(g_nAdapterId, g_nSubsystemId);
        if (row == nullptr) {
            EndWithBox("Graphic card not supported!", "ZEL");
        }
        m_nEngineClock = static_cast<int>(row->nDefaultEngine);
        m_nMemoryClock = static_cast<int>(row->nDefaultMemory);
    }
    m_nWorkEngine = static_cast<uint32_t>(m_nEngineClock);
    m_nWorkMemory = static_cast<uint32_t>(m_nMemoryClock);
    SnapToNominalClocks();
    const uint32_t word = ClampAndComposeClocks();
    // Shown after the clamp, so that a stored clock outside the board's window is not shown as
    // though it were in force.
    ShowClockSettings();
    if (word != 0) {
        WriteClockDividers(word);
    }
    StoreClockSettings();
}

void CMonitorDlg::OnPresetEditChange() {
    m_cbPreset.SetWindowText(m_strPreset);
}

void CMonitorDlg::OnClockSliderCustomDraw(NMHDR* /*pNMHDR*/, LRESULT* pResult) {
    CString text;
    m_cbPreset.GetWindowText(text);
    if (text == "Default Settings") {
        m_cbPreset.SetWindowText("Preferred Settings");
    }
    *pResult = CDRF_DODEFAULT;
}

void CMonitorDlg::StoreClockSettings() {
    WriteClockFile(m_nEngineClock, m_nMemoryClock);
}

bool CMonitorDlg::ReadStoredClocks() {
    const StoredClocks stored = ReadClockFile();
    if (stored.bHaveEngine) {
        m_nEngineClock = stored.nEngine;
    }
    if (stored.bHaveMemory) {
        m_nMemoryClock = stored.nMemory;
    }
    return stored.bOpened;
}

bool CMonitorDlg::LoadClockSettings() {
    if (ReadStoredClocks()) {
        return true;
    }
    const uint32_t current = ReadClockDividers();
    if (current == 0) {
        ShowMessageBox("Device access deny", "ZEL ERROR", kErrorBox);
        return false;
    }
    DecodeClockDividers(current);
    m_nEngineClock = static_cast<int>(m_nWorkEngine);
    m_nMemoryClock = static_cast<int>(m_nWorkMemory);
    StoreClockSettings();
    return true;
}
