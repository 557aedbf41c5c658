#include "driver/adapter.h"

KMUTEX g_AdapterMutex;

bool LockAdapter() {
    return KeWaitForSingleObject(&g_AdapterMutex, Executive, KernelMode, FALSE, nullptr) >= 0;
}

void UnlockAdapter() {
    KeReleaseMutex(&g_AdapterMutex, FALSE);
}

ULONG PciConfigAddress(ULONG bus, ULONG device, ULONG function, ULONG offset) {
    return 0x80000000u | ((bus << 16) + (device << 11) + (function << 8) + (offset & 0xFC));
}

ULONG ReadPciConfig(ULONG bus, ULONG device, ULONG function, ULONG offset) {
    OutDword(kPciConfigAddressPort, PciConfigAddress(bus, device, function, offset));
    return InDword(kPciConfigDataPort);
}

void WritePciConfig(ULONG bus, ULONG device, ULONG function, ULONG offset, ULONG value) {
    OutDword(kPciConfigAddressPort, PciConfigAddress(bus, device, function, offset));
    OutDword(kPciConfigDataPort, value);
}

void DecodeAgpStatus(ULONG status, ULONG* rate, ULONG* version) {
    const ULONG support = status & 7;
    if (status & 0x8) {
        *version = 3;
        *rate = support == 1 ? 4 : support == 3 ? 8 : 0;
    } else {
        *version = 2;
        *rate = support == 1 ? 1 : support == 3 ? 2 : support == 7 ? 4 : 0;
    }
}

AdapterInfo ScanAdapter() {
    AdapterInfo info;
    info.apertureBase = info.apertureSizeMB = info.pciId = info.ioBase = 0xFFFFFFFF;
    info.agpRate = info.agpVersion = info.subsystemId = 0xFFFFFFFF;
    if (!LockAdapter()) {
        return info;
    }
    for (ULONG bus = 0; bus < 256; ++bus) {
        for (ULONG device = 0; device < 32; ++device) {
            if ((ReadPciConfig(bus, device, 0, kPciClassOffset) >> 24) != kPciClassDisplay) {
                continue;
            }
            info.pciId = ReadPciConfig(bus, device, 0, kPciIdOffset);

            info.apertureBase = ReadPciConfig(bus, device, 0, kPciBar0Offset) & 0xFFFFFFF0;
            WritePciConfig(bus, device, 0, kPciBar0Offset, 0xFFFFFFFF);
            const ULONG sizeMask = ReadPciConfig(bus, device, 0, kPciBar0Offset);
            info.apertureSizeMB = static_cast<ULONG>(~sizeMask + 16u) >> 20;
            WritePciConfig(bus, device, 0, kPciBar0Offset, info.apertureBase);

            const ULONG bar1 = ReadPciConfig(bus, device, 0, kPciBar1Offset);
            info.ioBase = bar1 == 0xFFFFFFFF ? kNoWindow : bar1 & 0xFFFFFFFC;

            ULONG rate = 0;
            ULONG version = 0;
            DecodeAgpStatus(ReadPciConfig(bus, device, 0, kPciAgpStatusOffset), &rate, &version);
            info.agpRate = rate;
            info.agpVersion = version;

            info.subsystemId = ReadPciConfig(bus, device, 0, kPciSubsystemOffset);
            if (info.pciId != 0xFFFFFFFF) {
                UnlockAdapter();
                return info;
            }
        }
    }
    UnlockAdapter();
    return info;
}

ULONG PllReadClockDividers(ULONG ioBase) {
    OutByte(ioBase + kPllIndex, kPllClockDividers);
    return InDword(ioBase + kPllData);
}

void PllSelectClockDividersForWrite(ULONG ioBase) {
    OutByte(ioBase + kPllIndex, kPllClockDividers | kPllWriteEnable);
}

void PllWriteSelected(ULONG ioBase, ULONG value) {
    OutDword(ioBase + kPllData, value);
}

ULONG PllReadWithIndexRestore(ULONG ioBase, UCHAR index) {
    OutByte(ioBase + kPllIndex, index);
    const ULONG value = InDword(ioBase + kPllData);
    const UCHAR saved = InByte(ioBase + kPllIndex);
    OutByte(ioBase + kPllIndex, 0);
    (void)InDword(ioBase + kPllData);
    OutByte(ioBase + kPllIndex, saved);
    return value;
}

void PllStartupWrite(ULONG ioBase) {
    OutByte(ioBase + kPllIndex, kPllStartupRegister | kPllWriteEnable);
    OutDword(ioBase + kPllData, kPllStartupValue);
}

ULONG ReadIoWindow(ULONG ioBase, ULONG offset) {
    return InDword(ioBase + offset);
}
