// Programs a clock-synthesiser register of the simulated board the way the adapter is programmed
// (index with the write bit, then data, then the index back on the divider word), as any program
// on the machine could.
#pragma once

#include <cstdint>

#include "sim/machine.h"

namespace kesttest {

inline void PokePll(sim::Machine& machine, uint8_t index, uint32_t value) {
    const uint32_t ioBase = machine.Board().bar1 & ~3u;
    machine.WritePort8(ioBase + 8, static_cast<uint8_t>(0x80 | index));
    machine.WritePort32(ioBase + 0x0C, value);
    machine.WritePort8(ioBase + 8, 0x0A);
}

}  // namespace kesttest
