// The clock divider word (PLL register 0x0A) read back into clocks: bits 23-16 engine feedback
// divider, 15-8 memory feedback divider, 7-0 reference divider; clock = feedback x 54 /
// (reference x post factor) MHz, the post factors selected by PLL registers 0x0D and 0x12.
// Plain arithmetic, Qt-free; the windows read the registers and show the messages.
#pragma once

#include <stdint.h>

inline constexpr uint32_t kPllEnginePost = 0x0D;
inline constexpr uint32_t kPllMemoryPost = 0x12;
inline constexpr uint32_t kReferenceDivider = 11;

// Post factor of a selector register value (low 3 bits); 0 for an invalid selector.
uint32_t EnginePostFactor(uint32_t nSelector);  // 1, 2, 4, 8 for 1..4
uint32_t MemoryPostFactor(uint32_t nSelector);  // 2, 2, 4, 8 for 1..4

enum class DecodeStatus {
    kOk,
    kBadEnginePost,  // nothing decoded
    kNoReference,    // reference divider 0: nothing decoded
    kBadMemoryPost,  // the engine clock decoded, the memory clock not
};

// Decodes `word` with the two selector register values. Writes *pnEngine and *pnMemory only
// for what the status says was decoded.
DecodeStatus DecodeDividerWord(uint32_t word, uint32_t nEngineSelector, uint32_t nMemorySelector,
                               uint32_t* pnEngine, uint32_t* pnMemory);
