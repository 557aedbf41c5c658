// PCI configuration access, the adapter scan, and the adapter's PLL and I/O window registers.
#pragma once

#include "driver/platform/kernel.h"
#include "protocol/ioctl.h"

constexpr ULONG kPciConfigAddressPort = 0xCF8;
constexpr ULONG kPciConfigDataPort = 0xCFC;

// Configuration registers the scan reads (dword offsets).
constexpr ULONG kPciIdOffset = 0x00;
constexpr ULONG kPciClassOffset = 0x08;
constexpr ULONG kPciBar0Offset = 0x10;
constexpr ULONG kPciBar1Offset = 0x14;
constexpr ULONG kPciSubsystemOffset = 0x2C;
constexpr ULONG kPciAgpStatusOffset = 0x5C;
constexpr ULONG kPciClassDisplay = 0x03;

// Offsets in the adapter's I/O window.
constexpr ULONG kRegisterIndex = 0x00;
constexpr ULONG kRegisterData = 0x04;
constexpr ULONG kPllIndex = 0x08;
constexpr ULONG kPllData = 0x0C;
constexpr UCHAR kPllWriteEnable = 0x80;

constexpr UCHAR kPllClockDividers = 0x0A;
constexpr UCHAR kPllStartupRegister = 0x0E;
constexpr ULONG kPllStartupValue = 0x0400BC00;

// The last offset at which a 32-bit read stays inside the 256-byte I/O window.
constexpr ULONG kLastIoWindowOffset = 0xFC;

constexpr ULONG kNoWindow = 0xFFFFFFFF;

// Guards the adapter's multi-step sequences against a concurrent request: the two index/data
// pairs (an interleaved BAR0 sizing would corrupt another scan's aperture base, an interleaved PLL
// index would drop or misdirect a clock write) and each chip operation on the I2C engine (a bank
// select split from its access reads or writes the wrong bank). Recursive, as kernel mutexes are.
extern KMUTEX g_AdapterMutex;
bool LockAdapter();
void UnlockAdapter();

ULONG PciConfigAddress(ULONG bus, ULONG device, ULONG function, ULONG offset);
ULONG ReadPciConfig(ULONG bus, ULONG device, ULONG function, ULONG offset);
void WritePciConfig(ULONG bus, ULONG device, ULONG function, ULONG offset, ULONG value);

// Walks bus 0-255, device 0-31 (function 0) for the first display controller. Every field is
// 0xFFFFFFFF when there is none. An I/O BAR reading all ones (the adapter no longer decodes it)
// gives ioBase 0xFFFFFFFF, a missing window. Takes the adapter lock itself.
AdapterInfo ScanAdapter();

// Decodes the AGP status word into rate (1, 2, 4, 8 or 0) and version (2 or 3).
void DecodeAgpStatus(ULONG status, ULONG* rate, ULONG* version);

// The PLL accesses run under the adapter lock, which their caller holds.
ULONG PllReadClockDividers(ULONG ioBase);
// Selects register 0x0A for writing; the index stays selected afterwards.
void PllSelectClockDividersForWrite(ULONG ioBase);
// Writes the data port; register 0x0A must have been selected for writing.
void PllWriteSelected(ULONG ioBase, ULONG value);
// Reads any PLL register and leaves the index register as it found it.
ULONG PllReadWithIndexRestore(ULONG ioBase, UCHAR index);
void PllStartupWrite(ULONG ioBase);

ULONG ReadIoWindow(ULONG ioBase, ULONG offset);

// Port I/O on 32-bit addresses, whatever the pointer width of the build.
inline PUCHAR PortAddress8(ULONG port) {
    return reinterpret_cast<PUCHAR>(static_cast<ULONG_PTR>(port));
}
inline PULONG PortAddress32(ULONG port) {
    return reinterpret_cast<PULONG>(static_cast<ULONG_PTR>(port));
}
inline UCHAR InByte(ULONG port) {
    return READ_PORT_UCHAR(PortAddress8(port));
}
inline ULONG InDword(ULONG port) {
    return READ_PORT_ULONG(PortAddress32(port));
}
inline void OutByte(ULONG port, UCHAR value) {
    WRITE_PORT_UCHAR(PortAddress8(port), value);
}
inline void OutDword(ULONG port, ULONG value) {
    WRITE_PORT_ULONG(PortAddress32(port), value);
}
