#include "app/device/process_state.h"

#include "protocol/ioctl.h"

uint32_t g_nAdapterId = 0;
uint32_t g_nSubsystemId = 0;
int g_nFanControl = 0;
int g_nNoFan = 0;
int g_nFan4Temp = 0;
int g_bConfigShown = 0;
int g_bFanGuardTripped = 0;
uint8_t g_bFanStopped = 0;
uint8_t g_bMonitorOn = 0;

bool IsFanControlBoard() {
    return g_nSubsystemId == kSubsystemF2 || g_nSubsystemId == kSubsystem12 ||
           g_nAdapterId == kAdapterRadeon9200 || g_nAdapterId == kAdapterRadeon9600Pro ||
           g_nAdapterId == kAdapterRadeon9800Pro;
}
