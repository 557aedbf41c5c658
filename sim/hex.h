// Numbers as the simulated machine's messages print them.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

// "0x1f", or zero-padded to `digits` hex digits ("0x001f").
std::string Hex(uint32_t value, int digits = 0);

}  // namespace sim
