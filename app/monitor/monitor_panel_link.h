// What the hardware details dialog changes in the main dialog that opened it: the "Custom Fan
// Speed" box, and the frame's fan guard that the main dialog reaches.
#pragma once

class MonitorPanelLink {
public:
    virtual ~MonitorPanelLink() = default;
    // Ticks "Custom Fan Speed" and records that the custom speed is on.
    virtual void SetCustomFanOn() = 0;
    virtual void StartFanGuard() = 0;
    virtual void StopFanGuard() = 0;
};
