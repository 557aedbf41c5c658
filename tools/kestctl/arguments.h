// The values kestctl takes on its command line.
#pragma once

#include <stdint.h>

#include <vector>

// Hex with 0x, or decimal; the whole text, at most 32 bits.
bool ParseNumber(const char* text, uint32_t* value);

// Two hex digits per byte, at least one byte; appended to `bytes`, which is left as it was when
// the text is refused.
bool ParseHexBytes(const char* text, std::vector<uint8_t>* bytes);
