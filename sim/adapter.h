// The graphics adapter behind its I/O window: adapter register index/data, the clock synthesiser
// (PLL) and the hardware I2C engine it owns.
//
//   I/O window   at BAR1 & ~3, 256 ports:
//     +0x00 32   adapter register index          +0x04 32  adapter register data
//     +0x08  8   PLL index: bits 5-0 register, bit 7 enables writes through +0x0C
//     +0x0C 32   PLL data. A write while index bit 7 is clear is dropped.
//     +0x90/+0x94/+0x98 32 (data also 8)  I2C control 0 / control 1 / data, direct family only.
//   On the indexed family the same three I2C registers are adapter registers 0x2E0/0x2E4/0x2E8,
//   reached through +0x00/+0x04; on the direct family those adapter registers do not exist.
//   Reads of any width are answered byte lane by byte lane and are never violations (a raw window
//   read may land anywhere); a write of the wrong width is dropped and recorded. Window offsets and
//   adapter registers this model does not drive read as zero and are reported as unimplemented.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>

#include "sim/board_catalogue.h"
#include "sim/i2c_engine.h"
#include "sim/trace.h"

namespace sim {

class Adapter {
public:
    static constexpr uint32_t kWindowSize = 0x100;
    static constexpr uint8_t kPllIndexMask = 0x3F;

    // `unimplemented` hears of reads of registers this model does not drive, apart from the
    // protocol violations; clocksChanged runs after every PLL word written, since the clocks feed
    // the machine's physics.
    Adapter(const BoardSpec& board, ViolationSink violation, MessageSink unimplemented,
            I2cEngine::Hooks engineHooks, std::function<void()> clocksChanged);

    uint32_t WindowRead(uint32_t offset, int width);
    void WindowWrite(uint32_t offset, int width, uint32_t value);

    I2cEngine& Engine() { return m_engine; }
    uint32_t PllRegister(uint8_t index) const { return m_pll[index & kPllIndexMask]; }
    uint8_t PllIndex() const { return m_pllIndex; }
    // The clocks the PLL words select.
    double EngineMhz() const;
    double MemoryMhz() const;

    // Fault: PLL 0x0D and 0x12 read with post code 0.
    void SetInvalidPostCodes(bool invalid) { m_invalidPostCodes = invalid; }

private:
    uint32_t PllRead(uint8_t index) const;
    uint32_t WindowDword(uint32_t offset);
    uint32_t RegisterRead(uint32_t reg);
    void RegisterWrite(uint32_t reg, uint32_t value);
    bool CheckWriteWidth(uint32_t offset, int width, int expected);

    I2cFamily m_family;
    ViolationSink m_violation;
    MessageSink m_unimplemented;
    std::function<void()> m_clocksChanged;
    uint32_t m_regIndex = 0;
    std::map<uint32_t, uint32_t> m_registers;
    uint8_t m_pllIndex = 0;
    std::array<uint32_t, 64> m_pll{};
    bool m_invalidPostCodes = false;
    I2cEngine m_engine;
};

}  // namespace sim
