// The main dialog's monitor panel: the once-a-second sample of fan speed and VPU temperature,
// "Enable Hardware Monitor", "Using 3rd Party Heatsink", "Custom Fan Speed", and "Detail", which
// opens the hardware details dialog.
#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/device/settings.h"
#include "app/monitor/alarm_policy.h"
#include "app/monitor/hardware_details_dlg.h"
#include "app/monitor/panel_sample.h"
#include "app/shell/main_frame.h"
#include "app/shell/monitor_dlg.h"
#include "protocol/ioctl.h"

namespace {

constexpr uint32_t kFullFanDrive = 255;

}  // namespace

// Any timer of the dialog is a panel sample. The alarm boxes run nested message loops in which
// samples re-enter, and in which the dialog may be closed: once they are up, `this` is left alone
// unless the window is still ours.
void CMonitorDlg::OnTimer(UINT_PTR nIDEvent) {
    const PanelSample sample =
        SamplePanel(ClassifyBoard(), CurrentFanState(), m_nLastFanRpm, m_nLastVpuTemp,
                    [](uint32_t code) { return QueryDriverReading(code); });
    m_nLastFanRpm = sample.nLastFanRpm;
    m_nLastVpuTemp = sample.nLastVpuTemp;
    m_stFanSpeed.SetWindowText(sample.fanText.c_str());
    m_stVpuTemp.SetWindowText(sample.tempText.c_str());
    m_chart.SetValue(0, sample.nFanPosition);
    m_chart.SetValue(1, sample.nTempPosition);
    m_chart.AddSegment(1);
    m_chart.NoteReading(CString(sample.fanText + ", " + sample.tempText));
    if (!AlarmStep(m_nAlarmTicks, sample.Safe(), PanelWarningText(sample.reason), kPanelRestartText,
                   this)) {
        return;
    }
    CDialog::OnTimer(nIDEvent);
}

void CMonitorDlg::OnEnableMonitor() {
    g_bMonitorOn = g_bMonitorOn == 0 ? 1 : 0;
    m_bMonitorOff = m_bMonitorOff == 0 ? 1 : 0;
    if (m_bMonitorOff == 0) {
        StartMonitor();
        return;
    }
    // Off: the heatsink option may change again; "Custom Fan Speed" keeps its state.
    m_btnHeatsink.EnableWindow(TRUE);
    KillTimer(m_nMonitorTimer);
    m_stFanSpeed.SetWindowText("Unknown");
    m_stVpuTemp.SetWindowText("Unknown");
    m_chart.Reset();
    m_btnDetail.EnableWindow(FALSE);
}

// Follows the stored value, not the box: a missing value counts as "not set".
void CMonitorDlg::OnHeatsink() {
    if (ReadNoFanSetting() == 1) {
        g_nNoFan = 0;
        m_btnHeatsink.SetCheck(BST_UNCHECKED);
        m_btnCustomFan.EnableWindow(TRUE);
    } else {
        g_nNoFan = 1;
        m_btnHeatsink.SetCheck(BST_CHECKED);
        m_btnCustomFan.EnableWindow(FALSE);
    }
    WriteNoFanSetting(static_cast<uint32_t>(g_nNoFan));
}

// On: the stored speed (the board's default when out of range) with the fan guard, unless the
// fan is left to follow the temperature. Off: full speed, no guard.
void CMonitorDlg::OnCustomFan() {
    m_bCustomFan = m_bCustomFan == 0 ? 1 : 0;
    if (m_bCustomFan == 1) {
        SendDriverValue(IOCTL_SET_FAN_DRIVE,
                        FanSpeedForAdapter(g_nAdapterId, ReadFanSpeedSetting()));
        if (g_nFan4Temp == 0) {
            StartFanGuard();
        }
        g_nFanControl = 1;
        WriteFanControlSetting(1);
        g_bFanGuardTripped = 0;
        return;
    }
    StopFanGuard();
    SendDriverValue(IOCTL_SET_FAN_DRIVE, kFullFanDrive);
    g_nFanControl = 0;
    WriteFanControlSetting(0);
}

// The details dialog runs modally over this one; the panel keeps sampling underneath.
void CMonitorDlg::OnDetail() {
    CHardwareDetailsDlg dlg(this);
    dlg.m_pMonitorDlg = this;
    dlg.DoModal();
}

void CMonitorDlg::SetCustomFanOn() {
    m_btnCustomFan.SetCheck(BST_CHECKED);
    m_bCustomFan = 1;
}

void CMonitorDlg::StartFanGuard() {
    if (m_pFrame != nullptr) {
        m_pFrame->StartFanGuard();
    }
}

void CMonitorDlg::StopFanGuard() {
    if (m_pFrame != nullptr) {
        m_pFrame->StopFanGuard();
    }
}
