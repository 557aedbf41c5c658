#include "sim/pci_config.h"

#include <string>
#include <utility>

#include "sim/hex.h"

namespace sim {

namespace {

constexpr uint32_t kConfigEnable = 0x80000000;
constexpr uint32_t kIoBarMask = 0xFFFFFF00;

}  // namespace

PciConfigSpace::PciConfigSpace(const BoardSpec& board, ViolationSink violation)
    : m_board(board), m_violation(std::move(violation)) {
    for (const PciDeviceSpec& d : board.otherDevices) {
        m_functions.push_back({d.bus, d.device, d.pciId, d.classRev, d.subsystemId, d.bar0,
                               d.bar0Size, d.bar0 & 0xF, false, d.secondaryBus});
    }
    if (board.hasAdapter) {
        m_functions.push_back({board.bus, board.device, board.pciId, board.classRev,
                               board.subsystemId, board.bar0, board.apertureSizeMiB << 20,
                               board.bar0 & 0xF, true, 0});
    }
    m_bar1 = board.bar1;
}

const PciConfigSpace::Function* PciConfigSpace::Find(int bus, int device) const {
    for (const Function& f : m_functions) {
        if (f.bus == bus && f.device == device) {
            if (f.isAdapter && m_adapterRemoved) {
                return nullptr;
            }
            return &f;
        }
    }
    return nullptr;
}

PciConfigSpace::Function* PciConfigSpace::Find(int bus, int device) {
    return const_cast<Function*>(std::as_const(*this).Find(bus, device));
}

uint32_t PciConfigSpace::Read(int bus, int device, int function, uint8_t offset) const {
    const Function* f = function == 0 ? Find(bus, device) : nullptr;
    if (f == nullptr) {
        return 0xFFFFFFFF;
    }
    const bool bridge = (f->classRev >> 16) == 0x0604;
    switch (offset & 0xFC) {
        case 0x00:
            return f->pciId;
        case 0x04:
            return f->isAdapter ? 0x02B00007 : 0x02900006;
        case 0x08:
            return f->classRev;
        case 0x0C:
            return bridge ? 0x00010000 : 0x00002008;
        case 0x10:
            return f->bar0;
        case 0x14:
            if (f->isAdapter) {
                return m_ioBarAllOnes ? 0xFFFFFFFF : m_bar1;
            }
            return 0;
        case 0x18:
            if (bridge) {
                return static_cast<uint32_t>(f->secondaryBus) << 16 |
                       static_cast<uint32_t>(f->secondaryBus) << 8 | f->bus;
            }
            return f->isAdapter ? 0xFE9F0000 : 0;
        case 0x2C:
            return bridge ? 0 : f->subsystemId;
        case 0x34:
            return f->isAdapter ? 0x58 : 0;
        case 0x3C:
            return f->isAdapter ? 0x0000010B : 0;
        case 0x58:
            return f->isAdapter ? 0x00300002 : 0;
        case 0x5C:
            return f->isAdapter ? m_board.agpStatus : 0;
        default:
            return 0;
    }
}

void PciConfigSpace::WriteAddress(uint32_t value) {
    if ((value & 0x7F000003) != 0) {
        m_violation("pci: configuration address " + Hex(value, 8) + " sets reserved bits");
    }
    m_address = value;
}

uint32_t PciConfigSpace::ReadData() {
    if ((m_address & kConfigEnable) == 0) {
        m_violation("pci: configuration data read with the enable bit clear (address " +
                    Hex(m_address, 8) + ")");
        return 0xFFFFFFFF;
    }
    return Read((m_address >> 16) & 0xFF, (m_address >> 11) & 0x1F, (m_address >> 8) & 7,
                m_address & 0xFC);
}

void PciConfigSpace::WriteData(uint32_t value) {
    // Spelled out only for a violation: the scan writes here on every request.
    auto where = [&] { return "(address " + Hex(m_address, 8) + ", value " + Hex(value, 8) + ")"; };
    if ((m_address & kConfigEnable) == 0) {
        m_violation("pci: configuration data write with the enable bit clear " + where());
        return;
    }
    const int bus = (m_address >> 16) & 0xFF;
    const int device = (m_address >> 11) & 0x1F;
    const int function = (m_address >> 8) & 7;
    const uint8_t offset = m_address & 0xFC;
    Function* f = function == 0 ? Find(bus, device) : nullptr;
    if (f == nullptr) {
        m_violation("pci: configuration write to an absent device " + where());
        return;
    }
    // BAR sizing: the written address keeps only the bits the size allows, plus the flag bits.
    if (offset == 0x10 && f->bar0Size != 0) {
        f->bar0 = (value & ~(f->bar0Size - 1) & ~0xFu) | f->bar0Flags;
        return;
    }
    if (offset == 0x14 && f->isAdapter) {
        m_bar1 = (value & kIoBarMask) | 1;
        return;
    }
    m_violation("pci: write to read-only configuration register " + where());
}

}  // namespace sim
