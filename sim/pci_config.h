// PCI configuration mechanism #1 and the table of functions behind it.
//
//   0xCF8  32-bit configuration address (bit 31 enable, bus 23-16, device 15-11, function 10-8,
//          dword register 7-2). Reads back as written.
//   0xCFC  32-bit configuration data for the latched address. Absent devices, functions other
//          than 0 and a clear enable bit read 0xFFFFFFFF. Writable: BAR0 (memory, size mask plus
//          flag bits; all ones reads back e.g. 0xF8000008 for 128 MiB) and BAR1 (I/O, 256 ports,
//          all ones reads back 0xFFFFFF01); any other write is ignored.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/board_catalogue.h"
#include "sim/trace.h"

namespace sim {

class PciConfigSpace {
public:
    static constexpr uint32_t kAddressPort = 0xCF8;
    static constexpr uint32_t kDataPort = 0xCFC;

    PciConfigSpace(const BoardSpec& board, ViolationSink violation);

    uint32_t ReadAddress() const { return m_address; }
    void WriteAddress(uint32_t value);
    uint32_t ReadData();
    void WriteData(uint32_t value);

    // One dword of a function's configuration space, as a data-port read would answer it.
    uint32_t Read(int bus, int device, int function, uint8_t offset) const;
    // The adapter's I/O BAR as last written (the window stays there even when BAR1 reads faulty).
    uint32_t IoBar() const { return m_bar1; }

    // Faults.
    void SetAdapterRemoved(bool removed) { m_adapterRemoved = removed; }
    bool AdapterRemoved() const { return m_adapterRemoved; }
    void SetIoBarAllOnes(bool allOnes) { m_ioBarAllOnes = allOnes; }

private:
    struct Function {
        uint8_t bus;
        uint8_t device;
        uint32_t pciId;
        uint32_t classRev;
        uint32_t subsystemId;
        uint32_t bar0;
        uint32_t bar0Size;
        uint32_t bar0Flags;
        bool isAdapter;
        uint8_t secondaryBus;  // bridges only
    };

    const Function* Find(int bus, int device) const;
    Function* Find(int bus, int device);

    const BoardSpec& m_board;
    ViolationSink m_violation;
    std::vector<Function> m_functions;
    uint32_t m_address = 0;
    uint32_t m_bar1 = 0;
    bool m_adapterRemoved = false;
    bool m_ioBarAllOnes = false;
};

}  // namespace sim
