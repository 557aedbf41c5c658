// The main dialog's clock operations: the divider word read back into the working clocks, the
// working clocks kept inside the board's window and composed into a word, and the panel refresh.
#include "app/clock/board_table.h"
#include "app/clock/clock_dividers.h"
#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/device/settings.h"
#include "app/shell/fatal_box.h"
#include "app/shell/monitor_dlg.h"
#include "app/shell/ui_constants.h"

void CMonitorDlg::DecodeClockDividers(uint32_t word) {
    const uint32_t engineSelector = ReadPllRegister(kPllEnginePost);
    if (EnginePostFactor(engineSelector) == 0) {
        ShowMessageBox("Not correct MCLK_POST!", "ZEL", kErrorBox);
        return;
    }
    // A word without a reference divider cannot be decoded: the working clocks stay.
    if ((word & 0xFF) == 0) {
        return;
    }
    const uint32_t memorySelector = ReadPllRegister(kPllMemoryPost);
    if (DecodeDividerWord(word, engineSelector, memorySelector, &m_nWorkEngine, &m_nWorkMemory) ==
        DecodeStatus::kBadMemoryPost) {
        ShowMessageBox("Not correct XCLK_POST!", "ZEL", kErrorBox);
    }
}

uint32_t CMonitorDlg::ClampAndComposeClocks() {
    const uint32_t current = ReadClockDividers();
    if (current == 0) {
        ShowMessageBox("Device access deny", "ZEL", kErrorBox);
        return 0;
    }
    const BoardRow* row = FindBoardRow(g_nAdapterId, g_nSubsystemId);
    if (row == nullptr || !row->bTunable) {
        EndWithBox("Graphic card not supported!", "ZEL");
    }
    const ClampedClocks clamped = ClampToWindows(*row, &m_nWorkEngine, &m_nWorkMemory);
    if (clamped.bMemory) {
        m_nMemoryClock = static_cast<int>(m_nWorkMemory);
    }
    if (clamped.bEngine) {
        m_nEngineClock = static_cast<int>(m_nWorkEngine);
    }
    return ComposeClockDividers(current, m_nWorkEngine, m_nWorkMemory, kReferenceDivider);
}

void CMonitorDlg::ShowClockSettings() {
    static_cast<CSliderCtrl*>(GetDlgItem(1004))->SetPos(m_nEngineClock);
    m_strEngineText.Format("%d", m_nEngineClock);
    SetDlgItemText(1009, m_strEngineText + "MHz");
    SetDlgItemText(1037, "current: " + m_strEngineText + "MHz");
    static_cast<CSliderCtrl*>(GetDlgItem(1005))->SetPos(m_nMemoryClock * 2);
    m_strMemoryText.Format("%d", m_nMemoryClock * 2);
    SetDlgItemText(1013, m_strMemoryText + "MHz");
    SetDlgItemText(1038, "current: " + m_strMemoryText + "MHz");
}
