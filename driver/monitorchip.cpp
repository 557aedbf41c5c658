#include "driver/monitorchip.h"

#include "driver/adapter.h"
#include "driver/kestati.h"

namespace {

// The chip's register map. Registers 0x50-0x5F are banked: 0x4E bits 2-0 select the bank.
constexpr UCHAR kRegTemp1 = 0x27;
constexpr UCHAR kRegFan1Count = 0x28;
constexpr UCHAR kRegTemp1LimitA = 0x39;
constexpr UCHAR kRegTemp1LimitB = 0x3A;
constexpr UCHAR kRegFan1Limit = 0x3B;
constexpr UCHAR kRegConfig = 0x40;
constexpr UCHAR kRegStartup43 = 0x43;
constexpr UCHAR kRegStartup44 = 0x44;
constexpr UCHAR kRegStartup46 = 0x46;
constexpr UCHAR kRegFanDivisor = 0x47;
constexpr UCHAR kRegSubSensorAddresses = 0x4A;
constexpr UCHAR kRegStartup4B = 0x4B;
constexpr UCHAR kRegAlarmControl = 0x4D;
constexpr UCHAR kRegBankSelect = 0x4E;
// Voltage inputs IN1, IN2, IN5 and IN6 (n = 1..6) and their limit pairs.
constexpr UCHAR RegIn(UCHAR n) {
    return static_cast<UCHAR>(0x20 + n);
}
constexpr UCHAR RegInLimitA(UCHAR n) {
    return static_cast<UCHAR>(0x2B + 2 * n);
}
// Bank 0.
constexpr UCHAR kRegBank0Startup52 = 0x52;
constexpr UCHAR kRegBeep1 = 0x56;
constexpr UCHAR kRegBeep2 = 0x57;
constexpr UCHAR kRegChipId = 0x58;
constexpr UCHAR kRegBank0Startup59 = 0x59;
constexpr UCHAR kRegFanDrive = 0x5B;
constexpr UCHAR kRegInputControl = 0x5D;
// Bank 4.
constexpr UCHAR kRegBeep3 = 0x53;
constexpr UCHAR kRegBank4Startup54 = 0x54;
// Bank 5: voltage inputs IN7 and IN8 (n = 7, 8) and their limit pairs.
constexpr UCHAR RegBank5In(UCHAR n) {
    return static_cast<UCHAR>(0x49 + n);
}
constexpr UCHAR RegBank5InLimitA(UCHAR n) {
    return static_cast<UCHAR>(0x46 + 2 * n);
}
// Bank 6: start-up values from 0x50 on.
constexpr UCHAR kRegBank6First = 0x50;

static_assert(RegIn(1) == 0x21 && RegIn(6) == 0x26 && RegInLimitA(1) == 0x2D &&
                  RegInLimitA(5) == 0x35 && RegBank5In(8) == 0x51 && RegBank5InLimitA(8) == 0x56,
              "voltage register map");

constexpr UCHAR kBank0 = 0;
constexpr UCHAR kBankTemp2 = 1;
constexpr UCHAR kBankTemp3 = 2;
constexpr UCHAR kBankBeep3 = 4;
constexpr UCHAR kBankIn78 = 5;
constexpr UCHAR kBankStartup = 6;

constexpr UCHAR kFan1DivisorCode = 1;  // divisor 2

bool Failed(LONG result) {
    return result == kChipFailed;
}

// A chip operation is several transactions: a bank select and the access it prepares, a read and
// the write built on it. The adapter lock keeps every other operation's transactions out from
// between them; the device mutex still covers exactly one transaction at a time. Operations built
// from other operations take the lock again, which a kernel mutex allows its owner.
template <typename Steps>
LONG AsOneOperation(Steps steps) {
    if (!LockAdapter()) {
        return kChipFailed;
    }
    const LONG result = steps();
    UnlockAdapter();
    return result;
}

LONG ChipRead(ULONG ioBase, UCHAR reg) {
    return I2cReadByte(ioBase, kChipReadAddress, reg);
}

LONG ChipWrite(ULONG ioBase, UCHAR reg, ULONG value) {
    return I2cWriteByte(ioBase, kChipWriteAddress, reg, value);
}

// reg <- (read & keep) | set: the read must succeed even where its value is not used.
LONG ChipUpdate(ULONG ioBase, UCHAR reg, ULONG keep, ULONG set) {
    const LONG current = ChipRead(ioBase, reg);
    if (Failed(current)) {
        return kChipFailed;
    }
    return ChipWrite(ioBase, reg, (static_cast<ULONG>(current) & keep) | set);
}

LONG ChipSet(ULONG ioBase, UCHAR reg, ULONG value) {
    return ChipUpdate(ioBase, reg, 0, value);
}

LONG ReadInto(ULONG ioBase, UCHAR reg, KestU32* field) {
    const LONG value = ChipRead(ioBase, reg);
    if (Failed(value)) {
        return kChipFailed;
    }
    *field = static_cast<ULONG>(value);
    return 0;
}

LONG ReadVoltage(ULONG ioBase, UCHAR reg, KestU32* field) {
    const LONG count = ChipRead(ioBase, reg);
    if (Failed(count)) {
        return kChipFailed;
    }
    *field = CountToMillivolts(static_cast<ULONG>(count));
    return 0;
}

LONG ReadBankedInto(ULONG ioBase, UCHAR bank, UCHAR reg, KestU32* field) {
    return AsOneOperation([=]() -> LONG {
        if (Failed(SelectBank(ioBase, bank))) {
            return kChipFailed;
        }
        return ReadInto(ioBase, reg, field);
    });
}

LONG ReadSubSensor(ULONG ioBase, UCHAR bank, ULONG (*addressOf)(ULONG), KestU32* temperature,
                   KestU32* address) {
    return AsOneOperation([=]() -> LONG {
        const LONG r = ChipRead(ioBase, kRegSubSensorAddresses);
        if (Failed(r)) {
            return kChipFailed;
        }
        *address = addressOf(static_cast<ULONG>(r));
        if (Failed(SelectBank(ioBase, bank))) {
            return kChipFailed;
        }
        const LONG value = I2cReadByte(ioBase, static_cast<UCHAR>(*address), 0);
        if (Failed(value)) {
            return kChipFailed;
        }
        *temperature = static_cast<ULONG>(value);
        return 0;
    });
}

// Sets 0x80 in 0x4D (bits 5-0 kept) and in bank-0 0x57, as every limit operation does; leaves
// bank 0 selected.
LONG EnableLimitAlarms(ULONG ioBase) {
    if (Failed(ChipUpdate(ioBase, kRegAlarmControl, 0x3F, 0x80))) {
        return kChipFailed;
    }
    if (Failed(SelectBank(ioBase, kBank0))) {
        return kChipFailed;
    }
    return ChipUpdate(ioBase, kRegBeep2, 0x7F, 0x80);
}

// The run shared by the fan, TEMP1 and voltage limits.
LONG SetAlarmLimit(ULONG ioBase, UCHAR limitBank, UCHAR limitReg, ULONG limit, UCHAR enableBank,
                   UCHAR enableReg, ULONG enableBit) {
    return AsOneOperation([=]() -> LONG {
        if (Failed(SelectBank(ioBase, limitBank))) {
            return kChipFailed;
        }
        if (Failed(ChipWrite(ioBase, limitReg, limit))) {
            return kChipFailed;
        }
        if (Failed(EnableLimitAlarms(ioBase))) {
            return kChipFailed;
        }
        if (Failed(SelectBank(ioBase, enableBank))) {
            return kChipFailed;
        }
        return ChipUpdate(ioBase, enableReg, 0xFF, enableBit);
    });
}

// Limit A of IN1, IN2, IN5 or IN6 (`second` false) or limit B; beeper enable `bit` in `beepReg`.
LONG SetBank0VoltageLimit(ULONG ioBase, UCHAR n, bool second, ULONG millivolts, UCHAR beepReg,
                          ULONG bit) {
    const UCHAR reg = static_cast<UCHAR>(RegInLimitA(n) + (second ? 1 : 0));
    return SetAlarmLimit(ioBase, kBank0, reg, MillivoltsToCount(millivolts), kBank0, beepReg, bit);
}

// Limit A or B of IN7 or IN8, enabled in bank-4 0x53.
LONG SetBank5VoltageLimit(ULONG ioBase, UCHAR n, bool second, ULONG millivolts, ULONG bit) {
    const UCHAR reg = static_cast<UCHAR>(RegBank5InLimitA(n) + (second ? 1 : 0));
    return SetAlarmLimit(ioBase, kBankIn78, reg, MillivoltsToCount(millivolts), kBankBeep3,
                         kRegBeep3, bit);
}

// Sub-sensor limits: configuration and both limits written at `address` in the given order.
struct SubSensorWrite {
    UCHAR reg;
    bool limit;  // write the limit value, else 0x10
};

LONG WriteSubSensorLimits(ULONG ioBase, UCHAR address, const SubSensorWrite (&writes)[3],
                          ULONG limit) {
    for (const SubSensorWrite& write : writes) {
        if (Failed(I2cWriteByte(ioBase, address, write.reg, write.limit ? limit : 0x10))) {
            return kChipFailed;
        }
    }
    return 0;
}

}  // namespace

LONG SelectBank(ULONG ioBase, UCHAR bank) {
    return AsOneOperation([=]() -> LONG { return ChipUpdate(ioBase, kRegBankSelect, 0xF8, bank); });
}

LONG ChipReset(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG { return ChipSet(ioBase, kRegConfig, 0x80); });
}

LONG ChipSetup(ULONG ioBase) {
    static const UCHAR kBank6Values[8] = {0xD0, 0x02, 0x31, 0x5F, 0x32, 0x2F, 0x2E, 0x2D};
    return AsOneOperation([=]() -> LONG {
        if (Failed(ChipSet(ioBase, kRegStartup46, 0x80)) ||
            Failed(ChipSet(ioBase, kRegStartup43, 0xFF)) ||
            Failed(ChipSet(ioBase, kRegStartup44, 0xFF)) ||
            Failed(ChipSet(ioBase, kRegSubSensorAddresses, 0x01)) ||
            Failed(SelectBank(ioBase, kBankStartup))) {
            return kChipFailed;
        }
        for (UCHAR i = 0; i < 8; ++i) {
            if (Failed(ChipSet(ioBase, static_cast<UCHAR>(kRegBank6First + i), kBank6Values[i]))) {
                return kChipFailed;
            }
        }
        if (Failed(SelectBank(ioBase, kBank0)) || Failed(ChipSet(ioBase, kRegConfig, 0x01)) ||
            Failed(ChipUpdate(ioBase, kRegStartup4B, 0x43, 0))) {
            return kChipFailed;
        }
        return ChipSet(ioBase, kRegBankSelect, 0x80);
    });
}

LONG FanSetup(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        if (Failed(SelectBank(ioBase, kBank0)) ||
            Failed(ChipUpdate(ioBase, kRegAlarmControl, 0xFC, 0x01)) ||
            // The divisor's low bits live outside the banks: no bank select before them.
            Failed(ChipUpdate(ioBase, kRegFanDivisor, 0xCF, (kFan1DivisorCode & 3u) << 4)) ||
            Failed(SelectBank(ioBase, kBank0))) {
            return kChipFailed;
        }
        return ChipUpdate(ioBase, kRegInputControl, 0xDF, (kFan1DivisorCode & 4u) << 3);
    });
}

LONG SensorSetup(ULONG ioBase) {
    const ULONG reg59 = g_AdapterId == kAdapterRadeon9600Pro ? 0x40 : 0x30;
    return AsOneOperation([=]() -> LONG {
        if (Failed(SelectBank(ioBase, kBank0)) || Failed(ChipSet(ioBase, kRegInputControl, 0x08)) ||
            Failed(ChipSet(ioBase, kRegBank0Startup59, reg59)) ||
            Failed(ChipUpdate(ioBase, kRegSubSensorAddresses, 0x77, 0)) ||
            Failed(ChipSet(ioBase, kRegBank0Startup52, 0x00)) ||
            Failed(SelectBank(ioBase, kBankBeep3))) {
            return kChipFailed;
        }
        for (UCHAR reg = kRegBank4Startup54; reg < kRegBank4Startup54 + 3; ++reg) {
            if (Failed(ChipSet(ioBase, reg, 0x00))) {
                return kChipFailed;
            }
        }
        return 0;
    });
}

LONG AlarmSetup(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        if (Failed(ChipUpdate(ioBase, kRegAlarmControl, 0x3F, 0x80)) ||
            Failed(SelectBank(ioBase, kBank0)) || Failed(ChipSet(ioBase, kRegBeep1, 0x00)) ||
            Failed(ChipSet(ioBase, kRegBeep2, 0x00)) || Failed(SelectBank(ioBase, kBankBeep3))) {
            return kChipFailed;
        }
        return ChipUpdate(ioBase, kRegBeep3, 0xFC, 0);
    });
}

void ChipStartup(ULONG ioBase) {
    // Each step runs whatever the previous one returned.
    (void)AsOneOperation([=]() -> LONG {
        (void)ChipReset(ioBase);
        (void)ChipSetup(ioBase);
        (void)FanSetup(ioBase);
        (void)SensorSetup(ioBase);
        (void)AlarmSetup(ioBase);
        return 0;
    });
}

ULONG FanCountToRpm(ULONG count) {
    // A count of 0 cannot come from a turning fan; report it as stopped rather than divide by it.
    return count == 0 ? 0 : 1350000u / (count * 2u);
}

ULONG FanRpmToCountLimit(ULONG rpm) {
    // 0 RPM asks for the slowest fan the chip can count, which is the largest count.
    return rpm == 0 ? 255u : 675000u / rpm;
}

ULONG CountToMillivolts(ULONG count) {
    return count * 16u;
}

ULONG MillivoltsToCount(ULONG millivolts) {
    return millivolts >> 4;
}

ULONG SubSensorAddressTemp2(ULONG reg4A) {
    return 0x90u | ((reg4A & 7u) << 1);
}

ULONG SubSensorAddressTemp3(ULONG reg4A) {
    return ((reg4A & 0x70u) | 0x480u) >> 3;
}

LONG ReadFan1(ULONG ioBase, MonitorReadings* readings) {
    const LONG count = ChipRead(ioBase, kRegFan1Count);
    if (Failed(count)) {
        return kChipFailed;
    }
    readings->fan1Rpm = FanCountToRpm(static_cast<ULONG>(count));
    return 0;
}

LONG ReadIn1(ULONG ioBase, MonitorReadings* readings) {
    return ReadVoltage(ioBase, RegIn(1), &readings->in1);
}

LONG ReadIn2(ULONG ioBase, MonitorReadings* readings) {
    return ReadVoltage(ioBase, RegIn(2), &readings->in2);
}

LONG ReadIn5(ULONG ioBase, MonitorReadings* readings) {
    return ReadVoltage(ioBase, RegIn(5), &readings->in5);
}

LONG ReadIn6(ULONG ioBase, MonitorReadings* readings) {
    return ReadVoltage(ioBase, RegIn(6), &readings->in6);
}

LONG ReadIn7(ULONG ioBase, MonitorReadings* readings) {
    return AsOneOperation([=]() -> LONG {
        if (Failed(SelectBank(ioBase, kBankIn78))) {
            return kChipFailed;
        }
        return ReadVoltage(ioBase, RegBank5In(7), &readings->in7);
    });
}

LONG ReadIn8(ULONG ioBase, MonitorReadings* readings) {
    return AsOneOperation([=]() -> LONG {
        // IN8 is measured only while bank-0 0x5D bit 0 is set.
        if (Failed(SelectBank(ioBase, kBank0)) ||
            Failed(ChipUpdate(ioBase, kRegInputControl, 0xFE, 0x01)) ||
            Failed(SelectBank(ioBase, kBankIn78))) {
            return kChipFailed;
        }
        return ReadVoltage(ioBase, RegBank5In(8), &readings->in8);
    });
}

LONG ReadTemp1(ULONG ioBase, MonitorReadings* readings) {
    return ReadBankedInto(ioBase, kBank0, kRegTemp1, &readings->temp1);
}

LONG ReadTemp2(ULONG ioBase, MonitorReadings* readings) {
    return ReadSubSensor(ioBase, kBankTemp2, SubSensorAddressTemp2, &readings->temp2,
                         &readings->temp2Address);
}

LONG ReadTemp3(ULONG ioBase, MonitorReadings* readings) {
    return ReadSubSensor(ioBase, kBankTemp3, SubSensorAddressTemp3, &readings->temp3,
                         &readings->temp3Address);
}

LONG ReadChipId(ULONG ioBase, MonitorReadings* readings) {
    return ReadBankedInto(ioBase, kBank0, kRegChipId, &readings->chipId);
}

LONG ReadFanDrive(ULONG ioBase, MonitorReadings* readings) {
    return ReadBankedInto(ioBase, kBank0, kRegFanDrive, &readings->regValue);
}

LONG ReadBankRegister(ULONG ioBase, UCHAR bank, UCHAR reg, MonitorReadings* readings) {
    return ReadBankedInto(ioBase, bank, reg, &readings->regValue);
}

LONG SetFanDrive(ULONG ioBase, ULONG level) {
    return AsOneOperation([=]() -> LONG {
        if (Failed(SelectBank(ioBase, kBank0))) {
            return kChipFailed;
        }
        return ChipWrite(ioBase, kRegFanDrive, level & 0xFF);
    });
}

LONG SetFan1Limit(ULONG ioBase, ULONG rpm) {
    return SetAlarmLimit(ioBase, kBank0, kRegFan1Limit, FanRpmToCountLimit(rpm), kBank0, kRegBeep1,
                         0x40);
}

LONG SetTemp1Limit(ULONG ioBase, ULONG celsius) {
    const ULONG limit = celsius & 0xFF;
    return AsOneOperation([=]() -> LONG {
        if (Failed(
                SetAlarmLimit(ioBase, kBank0, kRegTemp1LimitA, limit, kBank0, kRegBeep1, 0x10))) {
            return kChipFailed;
        }
        return SetAlarmLimit(ioBase, kBank0, kRegTemp1LimitB, limit, kBank0, kRegBeep1, 0x10);
    });
}

LONG SetTemp2Limit(ULONG ioBase, ULONG celsius) {
    static const SubSensorWrite kOrder[3] = {{1, false}, {2, true}, {3, true}};
    const ULONG limit = celsius & 0xFF;
    return AsOneOperation([=]() -> LONG {
        const LONG r = ChipRead(ioBase, kRegSubSensorAddresses);
        if (Failed(r)) {
            return kChipFailed;
        }
        const UCHAR address = static_cast<UCHAR>(SubSensorAddressTemp2(static_cast<ULONG>(r)));
        if (Failed(SelectBank(ioBase, kBankTemp2)) ||
            Failed(WriteSubSensorLimits(ioBase, address, kOrder, limit)) ||
            Failed(EnableLimitAlarms(ioBase))) {
            return kChipFailed;
        }
        return ChipUpdate(ioBase, kRegBeep1, 0xDF, 0x20);
    });
}

LONG SetTemp3Limit(ULONG ioBase, ULONG celsius) {
    static const SubSensorWrite kOrder[3] = {{2, true}, {1, false}, {3, true}};
    const ULONG limit = celsius & 0xFF;
    return AsOneOperation([=]() -> LONG {
        const LONG r = ChipRead(ioBase, kRegSubSensorAddresses);
        if (Failed(r)) {
            return kChipFailed;
        }
        const UCHAR address = static_cast<UCHAR>(SubSensorAddressTemp3(static_cast<ULONG>(r)));
        if (Failed(SelectBank(ioBase, kBankTemp3)) ||
            Failed(WriteSubSensorLimits(ioBase, address, kOrder, limit)) ||
            Failed(ChipUpdate(ioBase, kRegAlarmControl, 0x3F, 0x80)) ||
            Failed(SelectBank(ioBase, kBank0))) {
            return kChipFailed;
        }
        // TEMP3's enable (0x20) goes in with the limit alarms' 0x80.
        return ChipUpdate(ioBase, kRegBeep2, 0x5F, 0xA0);
    });
}

LONG SetIn1LimitA(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 1, false, mv, kRegBeep1, 0x02);
}
LONG SetIn1LimitB(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 1, true, mv, kRegBeep1, 0x02);
}
LONG SetIn2LimitA(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 2, false, mv, kRegBeep1, 0x04);
}
LONG SetIn2LimitB(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 2, true, mv, kRegBeep1, 0x04);
}
LONG SetIn5LimitA(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 5, false, mv, kRegBeep2, 0x02);
}
LONG SetIn5LimitB(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 5, true, mv, kRegBeep2, 0x02);
}
LONG SetIn6LimitA(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 6, false, mv, kRegBeep2, 0x04);
}
LONG SetIn6LimitB(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 6, true, mv, kRegBeep2, 0x04);
}
LONG SetIn7LimitA(ULONG ioBase, ULONG mv) {
    return SetBank5VoltageLimit(ioBase, 7, false, mv, 0x01);
}
LONG SetIn7LimitB(ULONG ioBase, ULONG mv) {
    return SetBank5VoltageLimit(ioBase, 7, true, mv, 0x01);
}
LONG SetIn8LimitA(ULONG ioBase, ULONG mv) {
    return SetBank5VoltageLimit(ioBase, 8, false, mv, 0x02);
}
LONG SetIn8LimitB(ULONG ioBase, ULONG mv) {
    return SetBank5VoltageLimit(ioBase, 8, true, mv, 0x02);
}

LONG AlarmsOff(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        if (Failed(ChipUpdate(ioBase, kRegAlarmControl, 0xBF, 0)) ||
            Failed(SelectBank(ioBase, kBank0)) ||
            Failed(ChipUpdate(ioBase, kRegAlarmControl, 0x7F, 0x80)) ||
            Failed(ChipSet(ioBase, kRegBeep1, 0x00)) || Failed(ChipSet(ioBase, kRegBeep2, 0x00)) ||
            Failed(SelectBank(ioBase, kBankBeep3))) {
            return kChipFailed;
        }
        return ChipUpdate(ioBase, kRegBeep3, 0xDC, 0);
    });
}

LONG AlarmsOn(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        if (Failed(ChipUpdate(ioBase, kRegAlarmControl, 0xBF, 0)) ||
            Failed(SelectBank(ioBase, kBank0)) ||
            Failed(ChipUpdate(ioBase, kRegBeep2, 0x6F, 0x90)) ||
            Failed(ChipUpdate(ioBase, kRegAlarmControl, 0x7F, 0)) ||
            Failed(ChipSet(ioBase, kRegBeep1, 0xFF)) ||
            Failed(ChipUpdate(ioBase, kRegBeep2, 0x40, 0xBF)) ||
            Failed(SelectBank(ioBase, kBankBeep3))) {
            return kChipFailed;
        }
        return ChipUpdate(ioBase, kRegBeep3, 0xDC, 0x23);
    });
}

LONG ReadAuxRegister(ULONG ioBase, UCHAR reg) {
    return I2cReadByte(ioBase, kAuxDeviceAddress, reg);
}
