// The four fan settings kept under the driver's service key, the standard alarm limits, and the
// composition of the clock divider word.
#pragma once

#include <stdint.h>

// Each returns the stored value, or 0xFFFF when the key or the value is missing, unreadable or
// longer than four bytes. Shorter values are zero-extended.
uint32_t ReadFanControlSetting();
uint32_t ReadNoFanSetting();
uint32_t ReadFanSpeedSetting();
uint32_t ReadFan4TempSetting();

// Each stores a 4-byte dword and returns the Win32 error code, 0 on success. A missing key is
// never created.
long WriteFanControlSetting(uint32_t value);
long WriteNoFanSetting(uint32_t value);
long WriteFan4TempSetting(uint32_t value);
void WriteFanSpeedSetting(uint32_t value);

// The stored fan drive level as it may be applied on adapter `adapterId`: kept when inside the
// adapter's range, otherwise replaced by the adapter's default level.
uint32_t FanSpeedForAdapter(uint32_t adapterId, uint32_t storedSpeed);

// Arms the fan 1, TEMP1, TEMP2 and TEMP3 alarm limits that apply to this board.
void ApplyAlarmLimits();

// The divider word for the wanted clocks; `current` unchanged (after an error box) when the
// adapter's post-divider codes cannot be interpreted.
uint32_t ComposeClockDividers(uint32_t current, uint32_t engineMHz, uint32_t memoryMHz,
                              uint32_t refDiv);

// Where the settings store its values; implemented once per platform.
namespace settings_detail {
uint32_t ReadServiceKeyDword(const char* name);
long WriteServiceKeyDwordValue(const char* name, uint32_t value);
}  // namespace settings_detail
