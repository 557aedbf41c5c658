// One sample of the main dialog's monitor panel, without its window: the fan and VPU temperature
// readings with the panel's own filters, their texts, the positions of the panel chart's two
// series and the verdict with its alarm reason. The dialog writes the texts, plots the positions
// and hands the verdict to the alarm step. No Qt.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/monitor/monitored_items.h"

// Why a panel sample is unsafe; when both hold the VPU temperature is the reason.
enum class PanelAlarmReason { None = 0, FanTooSlow = 1, VpuTooHot = 2 };

// The first alarm box's text for a reason.
const char* PanelWarningText(PanelAlarmReason reason);

struct PanelSample {
    std::string fanText;   // "%d RPM", "Stopped!", "Unknown" or "Not Safe"
    std::string tempText;  // "%d C/ %d F"
    int nLastFanRpm = 0;   // the panel's new last accepted values
    int nLastVpuTemp = 0;
    int nFanPosition = 0;  // series 0 and 1 of the panel chart, unclamped
    int nTempPosition = 0;
    PanelAlarmReason reason = PanelAlarmReason::None;
    bool Safe() const { return reason == PanelAlarmReason::None; }
};

// `read` makes one QueryDriverReading (0 when the request fails); the fan is read once, or
// twice when the first reading is slow, and the VPU temperature once.
PanelSample SamplePanel(BoardKind kind, FanState fan, int nLastFanRpm, int nLastVpuTemp,
                        const std::function<uint32_t(uint32_t code)>& read);
