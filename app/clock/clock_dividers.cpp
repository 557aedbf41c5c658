#include "app/clock/clock_dividers.h"

uint32_t EnginePostFactor(uint32_t nSelector) {
    const uint32_t s = nSelector & 7;
    return s >= 1 && s <= 4 ? 1u << (s - 1) : 0;
}

uint32_t MemoryPostFactor(uint32_t nSelector) {
    const uint32_t t = nSelector & 7;
    if (t == 1) {
        return 2;
    }
    return t >= 2 && t <= 4 ? 1u << (t - 1) : 0;
}

DecodeStatus DecodeDividerWord(uint32_t word, uint32_t nEngineSelector, uint32_t nMemorySelector,
                               uint32_t* pnEngine, uint32_t* pnMemory) {
    const uint32_t ref = word & 0xFF;
    const uint32_t memFb = (word >> 8) & 0xFF;
    const uint32_t engFb = (word >> 16) & 0xFF;
    const uint32_t enginePost = EnginePostFactor(nEngineSelector);
    if (enginePost == 0) {
        return DecodeStatus::kBadEnginePost;
    }
    if (ref == 0) {
        return DecodeStatus::kNoReference;
    }
    *pnEngine = engFb * 54 / (ref * enginePost);
    const uint32_t memoryPost = MemoryPostFactor(nMemorySelector);
    if (memoryPost == 0) {
        return DecodeStatus::kBadMemoryPost;
    }
    *pnMemory = memFb * 54 / (ref * memoryPost);
    return DecodeStatus::kOk;
}
