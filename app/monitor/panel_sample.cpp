#include "app/monitor/panel_sample.h"

#include "protocol/ioctl.h"

const char* PanelWarningText(PanelAlarmReason reason) {
    return reason == PanelAlarmReason::VpuTooHot ? "Warning: VPU temperature is too high!"
                                                 : "Warning: Fan speed is too low!";
}

PanelSample SamplePanel(BoardKind kind, FanState fan, int nLastFanRpm, int nLastVpuTemp,
                        const std::function<uint32_t(uint32_t code)>& read) {
    PanelSample sample;
    const PanelFanSample fanSample =
        SamplePanelFan(kind, fan, nLastFanRpm, [&read] { return read(IOCTL_READ_FAN1); });
    sample.fanText = fanSample.text;
    sample.nLastFanRpm = fanSample.nRpm;
    if (!fanSample.bSafe) {
        sample.reason = PanelAlarmReason::FanTooSlow;
    }
    sample.nLastVpuTemp = FilterPanelTemperature(read(IOCTL_READ_TEMP3), nLastVpuTemp);
    if (!IsPanelTemperatureSafe(kind, sample.nLastVpuTemp)) {
        sample.reason = PanelAlarmReason::VpuTooHot;
    }
    sample.tempText = TemperatureText(static_cast<uint32_t>(sample.nLastVpuTemp));
    sample.nFanPosition = PanelFanPosition(sample.nLastFanRpm);
    sample.nTempPosition = PanelTemperaturePosition(sample.nLastVpuTemp);
    return sample;
}
