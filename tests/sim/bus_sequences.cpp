#include "tests/sim/bus_sequences.h"

namespace simtest {

namespace {

constexpr uint32_t kIndex = 0x00;
constexpr uint32_t kData = 0x04;

uint32_t ConfigAddress(int busNo, int device, int function, uint8_t offset) {
    return 0x80000000u |
           ((static_cast<uint32_t>(busNo) << 16) + (static_cast<uint32_t>(device) << 11) +
            (static_cast<uint32_t>(function) << 8) + (offset & 0xFCu));
}

bool Poll(Engine& e) {
    e.lastPolls = 0;
    for (int round = 0; round < kPollRounds; ++round) {
        uint32_t status;
        if (e.family == sim::I2cFamily::indexed) {
            e.ports.WritePort32(e.ioBase + kIndex, 0x2E0);
            status = e.ports.ReadPort32(e.ioBase + kData);
        } else {
            status = e.ports.ReadPort32(e.ioBase + 0x90);
        }
        ++e.lastPolls;
        e.lastStatus = status & 7;
        if ((status & 7) == 1) {
            return true;
        }
        if (status & 6) {
            return false;
        }
    }
    return false;
}

// Indexed family: one adapter register write through the index/data pair.
void Reg(Engine& e, uint32_t reg, uint32_t value) {
    e.ports.WritePort32(e.ioBase + kIndex, reg);
    e.ports.WritePort32(e.ioBase + kData, value);
}

void DirectPrologue(Engine& e) {
    e.ports.WritePort32(e.ioBase + 0x90, 0);
    e.ports.WritePort32(e.ioBase + 0x94, 0);
    for (int i = 0; i < 16; ++i) {
        e.ports.WritePort32(e.ioBase + 0x98, 0);
    }
}

void IndexedPrologue(Engine& e, bool discardedRead) {
    e.ports.WritePort32(e.ioBase + kIndex, 0x2E8);
    for (int i = 0; i < 16; ++i) {
        e.ports.WritePort32(e.ioBase + kData, 0);
    }
    if (discardedRead) {
        e.ports.WritePort32(e.ioBase + kIndex, 0x2E0);
        e.ports.ReadPort32(e.ioBase + kData);
    }
}

}  // namespace

uint32_t ConfigRead(PortBus& bus, int busNo, int device, int function, uint8_t offset) {
    bus.WritePort32(0xCF8, ConfigAddress(busNo, device, function, offset));
    return bus.ReadPort32(0xCFC);
}

void ConfigWrite(PortBus& bus, int busNo, int device, int function, uint8_t offset,
                 uint32_t value) {
    bus.WritePort32(0xCF8, ConfigAddress(busNo, device, function, offset));
    bus.WritePort32(0xCFC, value);
}

int I2cWriteByte(Engine& e, uint8_t address, uint8_t reg, uint8_t value) {
    if (e.family == sim::I2cFamily::direct) {
        DirectPrologue(e);
        e.ports.WritePort32(e.ioBase + 0x90, 0x14140327);
        e.ports.WritePort32(e.ioBase + 0x94, 0x28030012);
        e.ports.WritePort8(e.ioBase + 0x98, address & 0xFE);
        e.ports.WritePort8(e.ioBase + 0x98, reg);
        e.ports.WritePort32(e.ioBase + 0x98, value);
        e.ports.WritePort32(e.ioBase + 0x90, 0x14141300);
    } else {
        IndexedPrologue(e, true);
        Reg(e, 0x2E0, 0x14140337);
        Reg(e, 0x2E4, 0x28030012);
        e.ports.WritePort32(e.ioBase + kIndex, 0x2E8);
        e.ports.WritePort32(e.ioBase + kData, address & 0xFE);
        e.ports.WritePort32(e.ioBase + kData, reg);
        e.ports.WritePort32(e.ioBase + kData, value);
        Reg(e, 0x2E0, 0x14141310);
    }
    return Poll(e) ? 0 : -1;
}

int64_t I2cReadByte(Engine& e, uint8_t address, uint8_t reg) {
    if (e.family == sim::I2cFamily::direct) {
        DirectPrologue(e);
        e.ports.WritePort32(e.ioBase + 0x90, 0x14140327);
        e.ports.WritePort32(e.ioBase + 0x94, 0x28030011);
        e.ports.WritePort32(e.ioBase + 0x98, address & 0xFE);
        e.ports.WritePort32(e.ioBase + 0x98, reg);
        e.ports.WritePort32(e.ioBase + 0x90, 0x14141300);
        if (!Poll(e)) {
            return -1;
        }
        DirectPrologue(e);
        e.ports.WritePort32(e.ioBase + 0x90, 0x27);
        e.ports.WritePort32(e.ioBase + 0x90, 0x10);
        e.ports.WritePort32(e.ioBase + 0x94, 0x28030011);
        e.ports.WritePort32(e.ioBase + 0x98, address | 1);
        e.ports.WritePort32(e.ioBase + 0x90, 0x14141700);
        if (!Poll(e)) {
            return -1;
        }
        return e.ports.ReadPort32(e.ioBase + 0x98);
    }
    IndexedPrologue(e, true);
    Reg(e, 0x2E0, 0x14140337);
    Reg(e, 0x2E4, 0x28030011);
    e.ports.WritePort32(e.ioBase + kIndex, 0x2E8);
    e.ports.WritePort32(e.ioBase + kData, address & 0xFE);
    e.ports.WritePort32(e.ioBase + kData, reg);
    Reg(e, 0x2E0, 0x14141310);
    if (!Poll(e)) {
        return -1;
    }
    IndexedPrologue(e, false);
    e.ports.WritePort32(e.ioBase + kIndex, 0x2E0);
    e.ports.WritePort32(e.ioBase + kData, 0x37);
    e.ports.WritePort32(e.ioBase + kData, 0x10);
    Reg(e, 0x2E4, 0x28030011);
    Reg(e, 0x2E8, address | 1u);
    Reg(e, 0x2E0, 0x14141710);
    if (!Poll(e)) {
        return -1;
    }
    e.ports.WritePort32(e.ioBase + kIndex, 0x2E8);
    return e.ports.ReadPort32(e.ioBase + kData);
}

int64_t ReadChip(Engine& e, uint8_t reg) {
    return I2cReadByte(e, 0x5F, reg);
}
int WriteChip(Engine& e, uint8_t reg, uint8_t value) {
    return I2cWriteByte(e, 0x5E, reg, value);
}

int ReadModifyWrite(Engine& e, uint8_t reg, uint8_t andMask, uint8_t orMask) {
    const int64_t r = ReadChip(e, reg);
    if (r < 0) {
        return -1;
    }
    return WriteChip(e, reg, static_cast<uint8_t>((r & andMask) | orMask));
}

int SelectBank(Engine& e, int bank) {
    return ReadModifyWrite(e, 0x4E, 0xF8, static_cast<uint8_t>(bank));
}

void StartChip(Engine& e, uint32_t pciId) {
    // Each step stops at its first failure; the next still runs.
    auto run = [](auto&&... steps) { (void)((steps() >= 0) && ...); };
    auto rw = [&](uint8_t reg, uint8_t andMask, uint8_t orMask) {
        return [&e, reg, andMask, orMask] { return ReadModifyWrite(e, reg, andMask, orMask); };
    };
    auto bank = [&](int n) { return [&e, n] { return SelectBank(e, n); }; };
    auto set = [&](uint8_t reg, uint8_t value) { return rw(reg, 0, value); };

    run(set(0x40, 0x80));
    run(set(0x46, 0x80), set(0x43, 0xFF), set(0x44, 0xFF), set(0x4A, 0x01), bank(6),
        set(0x50, 0xD0), set(0x51, 0x02), set(0x52, 0x31), set(0x53, 0x5F), set(0x54, 0x32),
        set(0x55, 0x2F), set(0x56, 0x2E), set(0x57, 0x2D), bank(0), set(0x40, 0x01),
        rw(0x4B, 0x43, 0), set(0x4E, 0x80));
    run(bank(0), rw(0x4D, 0xFC, 0x01), rw(0x47, 0xCF, 0x10), bank(0), rw(0x5D, 0xDF, 0x00));
    run(bank(0), set(0x5D, 0x08), set(0x59, pciId == 0x41501002 ? 0x40 : 0x30), rw(0x4A, 0x77, 0),
        set(0x52, 0x00), bank(4), set(0x54, 0), set(0x55, 0), set(0x56, 0));
    run(rw(0x4D, 0x3F, 0x80), bank(0), set(0x56, 0), set(0x57, 0), bank(4), rw(0x53, 0xFC, 0));
}

bool FindFirstDisplay(PortBus& bus, int& busNo, int& device) {
    for (int b = 0; b < 256; ++b) {
        for (int d = 0; d < 32; ++d) {
            if ((ConfigRead(bus, b, d, 0, 0x08) >> 24) == 0x03 &&
                ConfigRead(bus, b, d, 0, 0x00) != 0xFFFFFFFF) {
                busNo = b;
                device = d;
                return true;
            }
        }
    }
    return false;
}

}  // namespace simtest
