#include "app/device/settings.h"

#include "app/device/device_client.h"
#include "app/device/message_box.h"
#include "app/device/process_state.h"
#include "protocol/ioctl.h"

using settings_detail::ReadServiceKeyDword;
using settings_detail::WriteServiceKeyDwordValue;

uint32_t ReadFanControlSetting() {
    return ReadServiceKeyDword("fancontrol");
}
uint32_t ReadNoFanSetting() {
    return ReadServiceKeyDword("nofan");
}
uint32_t ReadFanSpeedSetting() {
    return ReadServiceKeyDword("fanspeed");
}
uint32_t ReadFan4TempSetting() {
    return ReadServiceKeyDword("Fan4Temp");
}

long WriteFanControlSetting(uint32_t value) {
    return WriteServiceKeyDwordValue("fancontrol", value);
}
long WriteNoFanSetting(uint32_t value) {
    return WriteServiceKeyDwordValue("nofan", value);
}
long WriteFan4TempSetting(uint32_t value) {
    return WriteServiceKeyDwordValue("Fan4Temp", value);
}
void WriteFanSpeedSetting(uint32_t value) {
    WriteServiceKeyDwordValue("fanspeed", value);
}

uint32_t FanSpeedForAdapter(uint32_t adapterId, uint32_t storedSpeed) {
    uint32_t low = 40;
    uint32_t high = 200;
    uint32_t replacement = 45;
    if (adapterId == kAdapterRadeon9200) {
        low = 30;
        high = 75;
        replacement = 30;
    } else if (adapterId == kAdapterRadeon9800Pro) {
        high = 112;
        replacement = 58;
    }
    return (storedSpeed >= low && storedSpeed <= high) ? storedSpeed : replacement;
}

void ApplyAlarmLimits() {
    if (g_bFanStopped == 0 && g_nNoFan != 1) {
        SendDriverValue(IOCTL_SET_FAN1_LIMIT, 2800);
    }
    if (g_nSubsystemId != kSubsystemF2) {
        SendDriverValue(IOCTL_SET_TEMP1_LIMIT, 70);
    }
    SendDriverValue(IOCTL_SET_TEMP2_LIMIT, 70);
    SendDriverValue(IOCTL_SET_TEMP3_LIMIT, g_nAdapterId == kAdapterRadeon9800Pro ? 85 : 70);
}

uint32_t ComposeClockDividers(uint32_t current, uint32_t engineMHz, uint32_t memoryMHz,
                              uint32_t refDiv) {
    constexpr unsigned kErrorBox = MB_SETFOREGROUND | MB_ICONERROR;
    uint32_t p = ReadPllRegister(0x0D) & 7;
    if (p == 0 || p > 4) {
        ShowMessageBox("Not correct MCLK_POST!", "ZEL", kErrorBox);
        return current;
    }
    uint32_t engineFb = ((engineMHz << (p - 1)) * refDiv + 27) / 54;

    uint32_t q = ReadPllRegister(0x12) & 7;
    uint32_t s;
    if (q == 1) {
        s = 1;
    } else if (q >= 2 && q <= 4) {
        s = q - 1;
    } else {
        ShowMessageBox("Not correct XCLK_POST!", "ZEL", kErrorBox);
        return current;
    }
    uint32_t memoryFb = ((memoryMHz << s) * refDiv + 27) / 54;

    // The reference divider owns bits 7-0 only; a wider value must not spill into the memory
    // divider.
    return (current & 0xFF000000u) + ((engineFb & 0xFF) << 16) + ((memoryFb & 0xFF) << 8) +
           (refDiv & 0xFF);
}
