// Process-wide state of the program, shared by the frame, the dialogs and the settings code so
// that it outlives any one window.
#pragma once

#include <stdint.h>

// PCI id word of the adapter (device id << 16 | vendor id); 0 when it could not be read.
extern uint32_t g_nAdapterId;
// Subsystem id word (subsystem device id << 16 | subsystem vendor id).
extern uint32_t g_nSubsystemId;
// Last read or written "fancontrol", "nofan" and "Fan4Temp" values (0xFFFF when missing).
extern int g_nFanControl;
extern int g_nNoFan;
extern int g_nFan4Temp;
// 1 while the main dialog is shown.
extern int g_bConfigShown;
// 1 once the fan guard has forced the fan to full speed.
extern int g_bFanGuardTripped;
// 1 while the user has stopped the fan.
extern uint8_t g_bFanStopped;
// 1 while the hardware monitor is switched on.
extern uint8_t g_bMonitorOn;

// Boards whose fan the program drives with a stored speed and offers "Custom Fan Speed" for.
bool IsFanControlBoard();
