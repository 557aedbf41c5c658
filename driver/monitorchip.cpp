#include "driver/monitorchip.h"

#include "driver/adapter.h"
#include "driver/kestati.h"

namespace {

constexpr I2cControlWords kDirectWords = {0x14140327, 0x14141300, 0x27, 0x14141700};
constexpr I2cControlWords kIndexedWords = {0x14140337, 0x14141310, 0x37, 0x14141710};

constexpr ULONG kFifoFlushWrites = 16;

// Chip registers.
constexpr UCHAR kRegIn1 = 0x21;
constexpr UCHAR kRegIn2 = 0x22;
constexpr UCHAR kRegIn5 = 0x25;
constexpr UCHAR kRegIn6 = 0x26;
constexpr UCHAR kRegTemp1 = 0x27;
constexpr UCHAR kRegFan1Count = 0x28;
constexpr UCHAR kRegTemp1LimitA = 0x39;
constexpr UCHAR kRegTemp1LimitB = 0x3A;
constexpr UCHAR kRegFan1Limit = 0x3B;
constexpr UCHAR kRegConfig = 0x40;
constexpr UCHAR kRegFanDivisor = 0x47;
constexpr UCHAR kRegSubSensorAddresses = 0x4A;
constexpr UCHAR kRegAlarmControl = 0x4D;
constexpr UCHAR kRegBankSelect = 0x4E;
// Bank 0.
constexpr UCHAR kRegBeep1 = 0x56;
constexpr UCHAR kRegBeep2 = 0x57;
constexpr UCHAR kRegChipId = 0x58;
constexpr UCHAR kRegFanDrive = 0x5B;
constexpr UCHAR kRegInputControl = 0x5D;
// Bank 4.
constexpr UCHAR kRegBeep3 = 0x53;
// Bank 5.
constexpr UCHAR kRegIn7 = 0x50;
constexpr UCHAR kRegIn8 = 0x51;

constexpr UCHAR kFan1DivisorCode = 1;  // divisor 2

// Waits for the started phase: done, failed, or out of rounds. The delay interval is a positive
// (absolute, long past) time, so each delay returns at once and this is a bounded busy poll.
bool PollPhase(ULONG ioBase, bool indexed) {
    LARGE_INTEGER interval;
    interval.QuadPart = 20;
    for (ULONG round = 0; round < kPollRounds; ++round) {
        if (KeDelayExecutionThread(KernelMode, TRUE, &interval) < 0) {
            return false;
        }
        ULONG status;
        if (indexed) {
            OutDword(ioBase + kRegisterIndex, kIndexedControl0);
            status = InDword(ioBase + kRegisterData);
        } else {
            status = InDword(ioBase + kDirectControl0);
        }
        if ((status & 7) == 1) {
            return true;
        }
        if (status & 6) {
            return false;
        }
    }
    return false;
}

void DirectReset(ULONG ioBase, ULONG control0) {
    OutDword(ioBase + kDirectControl0, 0);
    OutDword(ioBase + kDirectControl1, 0);
    for (ULONG i = 0; i < kFifoFlushWrites; ++i) {
        OutDword(ioBase + kDirectData, 0);
    }
    OutDword(ioBase + kDirectControl0, control0);
}

void IndexedFlush(ULONG ioBase) {
    OutDword(ioBase + kRegisterIndex, kIndexedData);
    for (ULONG i = 0; i < kFifoFlushWrites; ++i) {
        OutDword(ioBase + kRegisterData, 0);
    }
}

void IndexedWrite(ULONG ioBase, ULONG reg, ULONG value) {
    OutDword(ioBase + kRegisterIndex, reg);
    OutDword(ioBase + kRegisterData, value);
}

bool DirectWriteSequence(ULONG ioBase, UCHAR address, UCHAR reg, ULONG value) {
    DirectReset(ioBase, kDirectWords.setup);
    OutDword(ioBase + kDirectControl1, kControl1Write);
    OutByte(ioBase + kDirectData, static_cast<UCHAR>(address & 0xFE));
    OutByte(ioBase + kDirectData, reg);
    OutDword(ioBase + kDirectData, value);
    OutDword(ioBase + kDirectControl0, kDirectWords.startAddress);
    return PollPhase(ioBase, false);
}

bool IndexedWriteSequence(ULONG ioBase, UCHAR address, UCHAR reg, ULONG value) {
    IndexedFlush(ioBase);
    OutDword(ioBase + kRegisterIndex, kIndexedControl0);
    (void)InDword(ioBase + kRegisterData);
    IndexedWrite(ioBase, kIndexedControl0, kIndexedWords.setup);
    IndexedWrite(ioBase, kIndexedControl1, kControl1Write);
    OutDword(ioBase + kRegisterIndex, kIndexedData);
    OutDword(ioBase + kRegisterData, address & 0xFE);
    OutDword(ioBase + kRegisterData, reg);
    OutDword(ioBase + kRegisterData, value);
    IndexedWrite(ioBase, kIndexedControl0, kIndexedWords.startAddress);
    return PollPhase(ioBase, true);
}

bool DirectReadSequence(ULONG ioBase, UCHAR address, UCHAR reg, ULONG* value) {
    DirectReset(ioBase, kDirectWords.setup);
    OutDword(ioBase + kDirectControl1, kControl1Read);
    OutDword(ioBase + kDirectData, address & 0xFE);
    OutDword(ioBase + kDirectData, reg);
    OutDword(ioBase + kDirectControl0, kDirectWords.startAddress);
    if (!PollPhase(ioBase, false)) {
        return false;
    }

    DirectReset(ioBase, kDirectWords.reSetupFirst);
    OutDword(ioBase + kDirectControl0, kReSetupSecond);
    OutDword(ioBase + kDirectControl1, kControl1Read);
    OutDword(ioBase + kDirectData, address | 1u);
    OutDword(ioBase + kDirectControl0, kDirectWords.startReceive);
    if (!PollPhase(ioBase, false)) {
        return false;
    }
    *value = InDword(ioBase + kDirectData);
    return true;
}

bool IndexedReadSequence(ULONG ioBase, UCHAR address, UCHAR reg, ULONG* value) {
    IndexedFlush(ioBase);
    OutDword(ioBase + kRegisterIndex, kIndexedControl0);
    (void)InDword(ioBase + kRegisterData);
    IndexedWrite(ioBase, kIndexedControl0, kIndexedWords.setup);
    IndexedWrite(ioBase, kIndexedControl1, kControl1Read);
    OutDword(ioBase + kRegisterIndex, kIndexedData);
    OutDword(ioBase + kRegisterData, address & 0xFE);
    OutDword(ioBase + kRegisterData, reg);
    IndexedWrite(ioBase, kIndexedControl0, kIndexedWords.startAddress);
    if (!PollPhase(ioBase, true)) {
        return false;
    }

    IndexedFlush(ioBase);
    OutDword(ioBase + kRegisterIndex, kIndexedControl0);
    OutDword(ioBase + kRegisterData, kIndexedWords.reSetupFirst);
    OutDword(ioBase + kRegisterData, kReSetupSecond);
    IndexedWrite(ioBase, kIndexedControl1, kControl1Read);
    IndexedWrite(ioBase, kIndexedData, address | 1u);
    IndexedWrite(ioBase, kIndexedControl0, kIndexedWords.startReceive);
    if (!PollPhase(ioBase, true)) {
        return false;
    }
    OutDword(ioBase + kRegisterIndex, kIndexedData);
    *value = InDword(ioBase + kRegisterData);
    return true;
}

// The frame shared by both transactions: refuse without a window or a supported adapter, and
// hold the device mutex for the whole transaction and nothing more.
bool AcquireEngine(ULONG ioBase) {
    if (ioBase == kNoWindow || !IsSupportedAdapter(g_AdapterId)) {
        return false;
    }
    return KeWaitForSingleObject(&g_DeviceMutex, Executive, KernelMode, FALSE, nullptr) >= 0;
}

void ReleaseEngine() {
    KeReleaseMutex(&g_DeviceMutex, FALSE);
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
    if (current == kChipFailed) {
        return kChipFailed;
    }
    return ChipWrite(ioBase, reg, (static_cast<ULONG>(current) & keep) | set);
}

LONG ChipSet(ULONG ioBase, UCHAR reg, ULONG value) {
    return ChipUpdate(ioBase, reg, 0, value);
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

// Runs a list of steps, stopping at the first that fails.
#define KEST_STEP(expression)              \
    do {                                   \
        if ((expression) == kChipFailed) { \
            return kChipFailed;            \
        }                                  \
    } while (0)

LONG ReadVoltage(ULONG ioBase, UCHAR reg, KestU32* field) {
    const LONG value = ChipRead(ioBase, reg);
    if (value == kChipFailed) {
        return kChipFailed;
    }
    *field = static_cast<ULONG>(value) * 16;
    return 0;
}

LONG ReadBankedInto(ULONG ioBase, UCHAR bank, UCHAR reg, KestU32* field) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(SelectBank(ioBase, bank));
        const LONG value = ChipRead(ioBase, reg);
        if (value == kChipFailed) {
            return kChipFailed;
        }
        *field = static_cast<ULONG>(value);
        return 0;
    });
}

LONG ReadSubSensor(ULONG ioBase, UCHAR bank, ULONG (*addressOf)(ULONG), KestU32* temperature,
                   KestU32* address) {
    return AsOneOperation([=]() -> LONG {
        const LONG r = ChipRead(ioBase, kRegSubSensorAddresses);
        if (r == kChipFailed) {
            return kChipFailed;
        }
        *address = addressOf(static_cast<ULONG>(r));
        KEST_STEP(SelectBank(ioBase, bank));
        const LONG value = I2cReadByte(ioBase, static_cast<UCHAR>(*address), 0);
        if (value == kChipFailed) {
            return kChipFailed;
        }
        *temperature = static_cast<ULONG>(value);
        return 0;
    });
}

// The run shared by the fan, TEMP1 and voltage limits.
LONG SetAlarmLimit(ULONG ioBase, UCHAR limitBank, UCHAR limitReg, ULONG limit, UCHAR enableBank,
                   UCHAR enableReg, ULONG enableBit) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(SelectBank(ioBase, limitBank));
        KEST_STEP(ChipWrite(ioBase, limitReg, limit));
        KEST_STEP(ChipUpdate(ioBase, kRegAlarmControl, 0x3F, 0x80));
        KEST_STEP(SelectBank(ioBase, 0));
        KEST_STEP(ChipUpdate(ioBase, kRegBeep2, 0x7F, 0x80));
        KEST_STEP(SelectBank(ioBase, enableBank));
        return ChipUpdate(ioBase, enableReg, 0xFF, enableBit);
    });
}

LONG SetBank0VoltageLimit(ULONG ioBase, UCHAR reg, ULONG millivolts, UCHAR enableReg, ULONG bit) {
    return SetAlarmLimit(ioBase, 0, reg, millivolts >> 4, 0, enableReg, bit);
}

LONG SetBank5VoltageLimit(ULONG ioBase, UCHAR reg, ULONG millivolts, ULONG bit) {
    return SetAlarmLimit(ioBase, 5, reg, millivolts >> 4, 4, kRegBeep3, bit);
}

}  // namespace

bool UsesIndexedI2cEngine(ULONG adapterId) {
    return adapterId == kAdapterRadeon9600Pro || adapterId == kAdapterRadeon9200;
}

LONG I2cWriteByte(ULONG ioBase, UCHAR address, UCHAR reg, ULONG value) {
    if (!AcquireEngine(ioBase)) {
        return kChipFailed;
    }
    const bool done = UsesIndexedI2cEngine(g_AdapterId)
                          ? IndexedWriteSequence(ioBase, address, reg, value)
                          : DirectWriteSequence(ioBase, address, reg, value);
    ReleaseEngine();
    return done ? 0 : kChipFailed;
}

LONG I2cReadByte(ULONG ioBase, UCHAR address, UCHAR reg) {
    if (!AcquireEngine(ioBase)) {
        return kChipFailed;
    }
    ULONG value = 0;
    const bool done = UsesIndexedI2cEngine(g_AdapterId)
                          ? IndexedReadSequence(ioBase, address, reg, &value)
                          : DirectReadSequence(ioBase, address, reg, &value);
    ReleaseEngine();
    return done ? static_cast<LONG>(value) : kChipFailed;
}

LONG SelectBank(ULONG ioBase, UCHAR bank) {
    return AsOneOperation([=]() -> LONG { return ChipUpdate(ioBase, kRegBankSelect, 0xF8, bank); });
}

LONG ChipReset(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG { return ChipSet(ioBase, kRegConfig, 0x80); });
}

LONG ChipSetup(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        static const UCHAR kBank6Values[8] = {0xD0, 0x02, 0x31, 0x5F, 0x32, 0x2F, 0x2E, 0x2D};
        KEST_STEP(ChipSet(ioBase, 0x46, 0x80));
        KEST_STEP(ChipSet(ioBase, 0x43, 0xFF));
        KEST_STEP(ChipSet(ioBase, 0x44, 0xFF));
        KEST_STEP(ChipSet(ioBase, kRegSubSensorAddresses, 0x01));
        KEST_STEP(SelectBank(ioBase, 6));
        for (UCHAR i = 0; i < 8; ++i) {
            KEST_STEP(ChipSet(ioBase, static_cast<UCHAR>(0x50 + i), kBank6Values[i]));
        }
        KEST_STEP(SelectBank(ioBase, 0));
        KEST_STEP(ChipSet(ioBase, kRegConfig, 0x01));
        KEST_STEP(ChipUpdate(ioBase, 0x4B, 0x43, 0));
        return ChipSet(ioBase, kRegBankSelect, 0x80);
    });
}

LONG FanSetup(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(SelectBank(ioBase, 0));
        KEST_STEP(ChipUpdate(ioBase, kRegAlarmControl, 0xFC, 0x01));
        KEST_STEP(ChipUpdate(ioBase, kRegFanDivisor, 0xCF, (kFan1DivisorCode & 3u) << 4));
        KEST_STEP(SelectBank(ioBase, 0));
        return ChipUpdate(ioBase, kRegInputControl, 0xDF, (kFan1DivisorCode & 4u) << 3);
    });
}

LONG SensorSetup(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(SelectBank(ioBase, 0));
        KEST_STEP(ChipSet(ioBase, kRegInputControl, 0x08));
        KEST_STEP(ChipSet(ioBase, 0x59, g_AdapterId == kAdapterRadeon9600Pro ? 0x40 : 0x30));
        KEST_STEP(ChipUpdate(ioBase, kRegSubSensorAddresses, 0x77, 0));
        KEST_STEP(ChipSet(ioBase, 0x52, 0x00));
        KEST_STEP(SelectBank(ioBase, 4));
        KEST_STEP(ChipSet(ioBase, 0x54, 0x00));
        KEST_STEP(ChipSet(ioBase, 0x55, 0x00));
        return ChipSet(ioBase, 0x56, 0x00);
    });
}

LONG AlarmSetup(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(ChipUpdate(ioBase, kRegAlarmControl, 0x3F, 0x80));
        KEST_STEP(SelectBank(ioBase, 0));
        KEST_STEP(ChipSet(ioBase, kRegBeep1, 0x00));
        KEST_STEP(ChipSet(ioBase, kRegBeep2, 0x00));
        KEST_STEP(SelectBank(ioBase, 4));
        return ChipUpdate(ioBase, kRegBeep3, 0xFC, 0);
    });
}

void ChipStartup(ULONG ioBase) {
    (void)AsOneOperation([=]() -> LONG {
        (void)ChipReset(ioBase);
        (void)ChipSetup(ioBase);
        (void)FanSetup(ioBase);
        (void)SensorSetup(ioBase);
        (void)AlarmSetup(ioBase);
        return LONG{0};
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

ULONG SubSensorAddressTemp2(ULONG reg4A) {
    return 0x90u | ((reg4A & 7u) << 1);
}

ULONG SubSensorAddressTemp3(ULONG reg4A) {
    return ((reg4A & 0x70u) | 0x480u) >> 3;
}

LONG ReadFan1(ULONG ioBase, MonitorReadings* readings) {
    const LONG count = ChipRead(ioBase, kRegFan1Count);
    if (count == kChipFailed) {
        return kChipFailed;
    }
    readings->fan1Rpm = FanCountToRpm(static_cast<ULONG>(count));
    return 0;
}

LONG ReadIn1(ULONG ioBase, MonitorReadings* readings) {
    return ReadVoltage(ioBase, kRegIn1, &readings->in1);
}

LONG ReadIn2(ULONG ioBase, MonitorReadings* readings) {
    return ReadVoltage(ioBase, kRegIn2, &readings->in2);
}

LONG ReadIn5(ULONG ioBase, MonitorReadings* readings) {
    return ReadVoltage(ioBase, kRegIn5, &readings->in5);
}

LONG ReadIn6(ULONG ioBase, MonitorReadings* readings) {
    return ReadVoltage(ioBase, kRegIn6, &readings->in6);
}

LONG ReadIn7(ULONG ioBase, MonitorReadings* readings) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(SelectBank(ioBase, 5));
        return ReadVoltage(ioBase, kRegIn7, &readings->in7);
    });
}

LONG ReadIn8(ULONG ioBase, MonitorReadings* readings) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(SelectBank(ioBase, 0));
        KEST_STEP(ChipUpdate(ioBase, kRegInputControl, 0xFE, 0x01));
        KEST_STEP(SelectBank(ioBase, 5));
        return ReadVoltage(ioBase, kRegIn8, &readings->in8);
    });
}

LONG ReadTemp1(ULONG ioBase, MonitorReadings* readings) {
    return ReadBankedInto(ioBase, 0, kRegTemp1, &readings->temp1);
}

LONG ReadTemp2(ULONG ioBase, MonitorReadings* readings) {
    return ReadSubSensor(ioBase, 1, SubSensorAddressTemp2, &readings->temp2,
                         &readings->temp2Address);
}

LONG ReadTemp3(ULONG ioBase, MonitorReadings* readings) {
    return ReadSubSensor(ioBase, 2, SubSensorAddressTemp3, &readings->temp3,
                         &readings->temp3Address);
}

LONG ReadChipId(ULONG ioBase, MonitorReadings* readings) {
    return ReadBankedInto(ioBase, 0, kRegChipId, &readings->chipId);
}

LONG ReadFanDrive(ULONG ioBase, MonitorReadings* readings) {
    return ReadBankedInto(ioBase, 0, kRegFanDrive, &readings->regValue);
}

LONG ReadBankRegister(ULONG ioBase, UCHAR bank, UCHAR reg, MonitorReadings* readings) {
    return ReadBankedInto(ioBase, bank, reg, &readings->regValue);
}

LONG SetFanDrive(ULONG ioBase, ULONG level) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(SelectBank(ioBase, 0));
        return ChipWrite(ioBase, kRegFanDrive, level & 0xFF);
    });
}

LONG SetFan1Limit(ULONG ioBase, ULONG rpm) {
    return SetAlarmLimit(ioBase, 0, kRegFan1Limit, FanRpmToCountLimit(rpm), 0, kRegBeep1, 0x40);
}

LONG SetTemp1Limit(ULONG ioBase, ULONG celsius) {
    return AsOneOperation([=]() -> LONG {
        const ULONG limit = celsius & 0xFF;
        KEST_STEP(SetAlarmLimit(ioBase, 0, kRegTemp1LimitA, limit, 0, kRegBeep1, 0x10));
        return SetAlarmLimit(ioBase, 0, kRegTemp1LimitB, limit, 0, kRegBeep1, 0x10);
    });
}

LONG SetTemp2Limit(ULONG ioBase, ULONG celsius) {
    return AsOneOperation([=]() -> LONG {
        const ULONG limit = celsius & 0xFF;
        const LONG r = ChipRead(ioBase, kRegSubSensorAddresses);
        if (r == kChipFailed) {
            return kChipFailed;
        }
        const UCHAR address = static_cast<UCHAR>(SubSensorAddressTemp2(static_cast<ULONG>(r)));
        KEST_STEP(SelectBank(ioBase, 1));
        KEST_STEP(I2cWriteByte(ioBase, address, 1, 0x10));
        KEST_STEP(I2cWriteByte(ioBase, address, 2, limit));
        KEST_STEP(I2cWriteByte(ioBase, address, 3, limit));
        KEST_STEP(ChipUpdate(ioBase, kRegAlarmControl, 0x3F, 0x80));
        KEST_STEP(SelectBank(ioBase, 0));
        KEST_STEP(ChipUpdate(ioBase, kRegBeep2, 0x7F, 0x80));
        return ChipUpdate(ioBase, kRegBeep1, 0xDF, 0x20);
    });
}

LONG SetTemp3Limit(ULONG ioBase, ULONG celsius) {
    return AsOneOperation([=]() -> LONG {
        const ULONG limit = celsius & 0xFF;
        const LONG r = ChipRead(ioBase, kRegSubSensorAddresses);
        if (r == kChipFailed) {
            return kChipFailed;
        }
        const UCHAR address = static_cast<UCHAR>(SubSensorAddressTemp3(static_cast<ULONG>(r)));
        KEST_STEP(SelectBank(ioBase, 2));
        KEST_STEP(I2cWriteByte(ioBase, address, 2, limit));
        KEST_STEP(I2cWriteByte(ioBase, address, 1, 0x10));
        KEST_STEP(I2cWriteByte(ioBase, address, 3, limit));
        KEST_STEP(ChipUpdate(ioBase, kRegAlarmControl, 0x3F, 0x80));
        KEST_STEP(SelectBank(ioBase, 0));
        return ChipUpdate(ioBase, kRegBeep2, 0x5F, 0xA0);
    });
}

LONG SetIn1LimitA(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 0x2D, mv, kRegBeep1, 0x02);
}
LONG SetIn1LimitB(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 0x2E, mv, kRegBeep1, 0x02);
}
LONG SetIn2LimitA(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 0x2F, mv, kRegBeep1, 0x04);
}
LONG SetIn2LimitB(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 0x30, mv, kRegBeep1, 0x04);
}
LONG SetIn5LimitA(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 0x35, mv, kRegBeep2, 0x02);
}
LONG SetIn5LimitB(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 0x36, mv, kRegBeep2, 0x02);
}
LONG SetIn6LimitA(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 0x37, mv, kRegBeep2, 0x04);
}
LONG SetIn6LimitB(ULONG ioBase, ULONG mv) {
    return SetBank0VoltageLimit(ioBase, 0x38, mv, kRegBeep2, 0x04);
}
LONG SetIn7LimitA(ULONG ioBase, ULONG mv) {
    return SetBank5VoltageLimit(ioBase, 0x54, mv, 0x01);
}
LONG SetIn7LimitB(ULONG ioBase, ULONG mv) {
    return SetBank5VoltageLimit(ioBase, 0x55, mv, 0x01);
}
LONG SetIn8LimitA(ULONG ioBase, ULONG mv) {
    return SetBank5VoltageLimit(ioBase, 0x56, mv, 0x02);
}
LONG SetIn8LimitB(ULONG ioBase, ULONG mv) {
    return SetBank5VoltageLimit(ioBase, 0x57, mv, 0x02);
}

LONG AlarmsOff(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(ChipUpdate(ioBase, kRegAlarmControl, 0xBF, 0));
        KEST_STEP(SelectBank(ioBase, 0));
        KEST_STEP(ChipUpdate(ioBase, kRegAlarmControl, 0x7F, 0x80));
        KEST_STEP(ChipSet(ioBase, kRegBeep1, 0x00));
        KEST_STEP(ChipSet(ioBase, kRegBeep2, 0x00));
        KEST_STEP(SelectBank(ioBase, 4));
        return ChipUpdate(ioBase, kRegBeep3, 0xDC, 0);
    });
}

LONG AlarmsOn(ULONG ioBase) {
    return AsOneOperation([=]() -> LONG {
        KEST_STEP(ChipUpdate(ioBase, kRegAlarmControl, 0xBF, 0));
        KEST_STEP(SelectBank(ioBase, 0));
        KEST_STEP(ChipUpdate(ioBase, kRegBeep2, 0x6F, 0x90));
        KEST_STEP(ChipUpdate(ioBase, kRegAlarmControl, 0x7F, 0));
        KEST_STEP(ChipSet(ioBase, kRegBeep1, 0xFF));
        KEST_STEP(ChipUpdate(ioBase, kRegBeep2, 0x40, 0xBF));
        KEST_STEP(SelectBank(ioBase, 4));
        return ChipUpdate(ioBase, kRegBeep3, 0xDC, 0x23);
    });
}

LONG ReadAuxRegister(ULONG ioBase, UCHAR reg) {
    return I2cReadByte(ioBase, kAuxDeviceAddress, reg);
}
