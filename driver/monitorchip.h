// The board's sensor chip, reached through the adapter's own I2C engine: every chip operation
// built from the engine's two transactions. Each returns 0 or the value read, or
// -1 as soon as one transaction fails; nothing done before a failure is undone.
#pragma once

#include "driver/i2c_engine.h"
#include "driver/platform/kernel.h"
#include "protocol/ioctl.h"

// 8-bit bus addresses (bit 0 = read).
constexpr UCHAR kChipWriteAddress = 0x5E;
constexpr UCHAR kChipReadAddress = 0x5F;
constexpr UCHAR kAuxDeviceAddress = 0x70;

// Each chip operation runs whole: no other operation's transactions come between its own.
LONG SelectBank(ULONG ioBase, UCHAR bank);

// Start-up, in this order at load, on re-initialisation and on resume.
LONG ChipReset(ULONG ioBase);
LONG ChipSetup(ULONG ioBase);
LONG FanSetup(ULONG ioBase);
LONG SensorSetup(ULONG ioBase);
LONG AlarmSetup(ULONG ioBase);
// Runs the five steps, each whatever the previous one returned.
void ChipStartup(ULONG ioBase);

// Readings: each fills its field(s) of the record and returns 0, or -1.
LONG ReadFan1(ULONG ioBase, MonitorReadings* readings);
LONG ReadIn1(ULONG ioBase, MonitorReadings* readings);
LONG ReadIn2(ULONG ioBase, MonitorReadings* readings);
LONG ReadIn5(ULONG ioBase, MonitorReadings* readings);
LONG ReadIn6(ULONG ioBase, MonitorReadings* readings);
LONG ReadIn7(ULONG ioBase, MonitorReadings* readings);
LONG ReadIn8(ULONG ioBase, MonitorReadings* readings);
LONG ReadTemp1(ULONG ioBase, MonitorReadings* readings);
LONG ReadTemp2(ULONG ioBase, MonitorReadings* readings);
LONG ReadTemp3(ULONG ioBase, MonitorReadings* readings);
LONG ReadChipId(ULONG ioBase, MonitorReadings* readings);
LONG ReadFanDrive(ULONG ioBase, MonitorReadings* readings);
LONG ReadBankRegister(ULONG ioBase, UCHAR bank, UCHAR reg, MonitorReadings* readings);

// Conversions.
ULONG FanCountToRpm(ULONG count);
ULONG FanRpmToCountLimit(ULONG rpm);
// Voltage inputs count 16 mV per step.
ULONG CountToMillivolts(ULONG count);
ULONG MillivoltsToCount(ULONG millivolts);
ULONG SubSensorAddressTemp2(ULONG reg4A);
ULONG SubSensorAddressTemp3(ULONG reg4A);

// Settings.
LONG SetFanDrive(ULONG ioBase, ULONG level);
LONG SetFan1Limit(ULONG ioBase, ULONG rpm);
LONG SetTemp1Limit(ULONG ioBase, ULONG celsius);
LONG SetTemp2Limit(ULONG ioBase, ULONG celsius);
LONG SetTemp3Limit(ULONG ioBase, ULONG celsius);
LONG SetIn1LimitA(ULONG ioBase, ULONG millivolts);
LONG SetIn1LimitB(ULONG ioBase, ULONG millivolts);
LONG SetIn2LimitA(ULONG ioBase, ULONG millivolts);
LONG SetIn2LimitB(ULONG ioBase, ULONG millivolts);
LONG SetIn5LimitA(ULONG ioBase, ULONG millivolts);
LONG SetIn5LimitB(ULONG ioBase, ULONG millivolts);
LONG SetIn6LimitA(ULONG ioBase, ULONG millivolts);
LONG SetIn6LimitB(ULONG ioBase, ULONG millivolts);
LONG SetIn7LimitA(ULONG ioBase, ULONG millivolts);
LONG SetIn7LimitB(ULONG ioBase, ULONG millivolts);
LONG SetIn8LimitA(ULONG ioBase, ULONG millivolts);
LONG SetIn8LimitB(ULONG ioBase, ULONG millivolts);
LONG AlarmsOff(ULONG ioBase);
LONG AlarmsOn(ULONG ioBase);

LONG ReadAuxRegister(ULONG ioBase, UCHAR reg);
