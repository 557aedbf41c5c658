#include "driver/i2c_engine.h"

#include "driver/adapter.h"
#include "driver/kestati.h"

KMUTEX g_DeviceMutex;

namespace {

constexpr I2cControlWords kDirectWords = {0x14140327, 0x14141300, 0x27, 0x14141700};
constexpr I2cControlWords kIndexedWords = {0x14140337, 0x14141310, 0x37, 0x14141710};

constexpr ULONG kFifoFlushWrites = 16;

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

// Everything before the address phase starts: flush, set-up, mode, then address and register
// queued in the FIFO (the data register stays selected).
void IndexedAddressSetup(ULONG ioBase, ULONG control1, UCHAR address, UCHAR reg) {
    IndexedFlush(ioBase);
    OutDword(ioBase + kRegisterIndex, kIndexedControl0);
    (void)InDword(ioBase + kRegisterData);
    IndexedWrite(ioBase, kIndexedControl0, kIndexedWords.setup);
    IndexedWrite(ioBase, kIndexedControl1, control1);
    OutDword(ioBase + kRegisterIndex, kIndexedData);
    OutDword(ioBase + kRegisterData, address & 0xFE);
    OutDword(ioBase + kRegisterData, reg);
}

bool IndexedWriteSequence(ULONG ioBase, UCHAR address, UCHAR reg, ULONG value) {
    IndexedAddressSetup(ioBase, kControl1Write, address, reg);
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
    IndexedAddressSetup(ioBase, kControl1Read, address, reg);
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
