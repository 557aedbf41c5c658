#include "app/shell/board_session.h"

#include "app/clock/board_table.h"
#include "app/clock/clock_dividers.h"
#include "app/clock/clock_file.h"
#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/device/settings.h"
#include "app/shell/fatal_box.h"
#include "protocol/ioctl.h"

namespace {

constexpr uint32_t kFullFanDrive = 255;
constexpr int kFanRestoreWrites = 11;

// Fan guard limits: the first reading above the first limit (or below the lower one) is checked
// again against the second.
struct GuardLimits {
    uint32_t nFirst;
    uint32_t nSecond;
};
constexpr uint32_t kGuardLower = 5;

GuardLimits GuardLimitsFor(uint32_t nAdapterId) {
    return nAdapterId == kAdapterRadeon9800Pro ? GuardLimits{70, 68} : GuardLimits{60, 58};
}

bool OutOfRange(uint32_t t, uint32_t nUpper) {
    return t > nUpper || t < kGuardLower;
}

}  // namespace

BoardSession::Clocks BoardSession::Start() {
    g_bConfigShown = 0;
    g_bFanGuardTripped = 0;
    g_nAdapterId = QueryAdapterInfo(3);
    g_nSubsystemId = QueryAdapterInfo(7);
    g_nFanControl = static_cast<int>(ReadFanControlSetting());
    g_nNoFan = static_cast<int>(ReadNoFanSetting());
    g_nFan4Temp = static_cast<int>(ReadFan4TempSetting());
    g_bFanStopped = 0;
    g_bMonitorOn = 0;
    return ApplyStoredClocks();
}

BoardSession::Clocks BoardSession::ApplyStoredClocks() {
    if (g_nAdapterId == kAdapterRadeon9200) {
        return Clocks::kApplied;
    }
    const uint32_t current = ReadClockDividers();
    if (current == 0) {
        EndWithBox("Device access deny", "ZEL ERROR");
    }
    const StoredClocks stored = ReadClockFile();
    if (!stored.bOpened) {
        return Clocks::kNoFile;
    }
    const BoardRow* row = FindBoardRow(g_nAdapterId, g_nSubsystemId);
    if (row == nullptr || !row->bTunable) {
        EndWithBox("Graphic Card not supported!", "ZEL");
    }
    // A field the file did not hold counts as outside its window.
    const uint32_t engine =
        stored.bHaveEngine
            ? ClampToWindow(static_cast<uint32_t>(stored.nEngine), row->engineStartWindow)
            : row->engineStartWindow.nFallback;
    const uint32_t memory =
        stored.bHaveMemory
            ? ClampToWindow(static_cast<uint32_t>(stored.nMemory), row->memoryStartWindow)
            : row->memoryStartWindow.nFallback;
    WriteClockDividers(ComposeClockDividers(current, engine, memory, kReferenceDivider));
    return Clocks::kApplied;
}

bool BoardSession::ApplyFanSettings() {
    if (IsFanControlBoard() && g_nFanControl == 1) {
        const uint32_t speed = FanSpeedForAdapter(g_nAdapterId, ReadFanSpeedSetting());
        SendDriverValue(IOCTL_SET_FAN_DRIVE, speed);
        return g_nFan4Temp == 0;
    }
    SendDriverValue(IOCTL_SET_FAN_DRIVE, kFullFanDrive);
    return false;
}

bool BoardSession::CheckFanGuard() {
    const uint32_t t = QueryDriverReading(IOCTL_READ_TEMP3);
    if (g_bFanGuardTripped == 1) {
        return false;
    }
    const GuardLimits limits = GuardLimitsFor(g_nAdapterId);
    if (!OutOfRange(t, limits.nFirst) ||
        !OutOfRange(QueryDriverReading(IOCTL_READ_TEMP3), limits.nSecond)) {
        return false;
    }
    g_bFanGuardTripped = 1;
    for (int write = 1; write <= kFanRestoreWrites; ++write) {
        SendDriverValue(IOCTL_SET_FAN_DRIVE, kFullFanDrive);
        if (QueryDriverReading(IOCTL_GET_FAN_DRIVE) == kFullFanDrive) {
            break;
        }
    }
    return true;
}

BoardSession::Clocks BoardSession::Resume() {
    QueryDriverReading(IOCTL_REINIT_MONITOR);
    QueryDriverReading(IOCTL_ALARMS_OFF);
    const Clocks clocks = ApplyStoredClocks();
    g_nFan4Temp = static_cast<int>(ReadFan4TempSetting());
    return clocks;
}

void BoardSession::End() {
    QueryDriverReading(IOCTL_ALARMS_OFF);
}
