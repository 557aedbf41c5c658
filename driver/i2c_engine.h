// The adapter's I2C engine: its control words, the status poll, the two engine variants, the
// device mutex around each transaction, and the two byte-level transactions. Each transaction
// returns 0 or the value read, or -1 when it fails.
#pragma once

#include "driver/platform/kernel.h"

constexpr LONG kChipFailed = -1;

// How many status polls a started phase may take.
constexpr ULONG kPollRounds = 65535;

// Engine control words, per engine variant.
struct I2cControlWords {
    ULONG setup;         // control 0 before a transaction
    ULONG startAddress;  // go: address + register phase
    ULONG reSetupFirst;  // control 0, before the receive phase
    ULONG startReceive;  // go: receive phase
};
constexpr ULONG kControl1Write = 0x28030012;
constexpr ULONG kControl1Read = 0x28030011;
constexpr ULONG kReSetupSecond = 0x10;

// Adapter registers of the indexed engine and ports (offsets from ioBase) of the direct engine.
constexpr ULONG kIndexedControl0 = 0x2E0;
constexpr ULONG kIndexedControl1 = 0x2E4;
constexpr ULONG kIndexedData = 0x2E8;
constexpr ULONG kDirectControl0 = 0x90;
constexpr ULONG kDirectControl1 = 0x94;
constexpr ULONG kDirectData = 0x98;

// True for the adapters whose engine is reached through the register index/data pair.
bool UsesIndexedI2cEngine(ULONG adapterId);

// `address` is the 8-bit bus address in its write form; the read sets bit 0 itself.
LONG I2cWriteByte(ULONG ioBase, UCHAR address, UCHAR reg, ULONG value);
LONG I2cReadByte(ULONG ioBase, UCHAR address, UCHAR reg);
