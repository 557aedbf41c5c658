#include "sim/adapter.h"

#include <string>
#include <utility>

#include "sim/hex.h"

namespace sim {

namespace {

constexpr uint32_t kWinRegIndex = 0x00;
constexpr uint32_t kWinRegData = 0x04;
constexpr uint32_t kWinPllIndex = 0x08;
constexpr uint32_t kWinPllData = 0x0C;
constexpr uint32_t kWinI2cControl0 = 0x90;
constexpr uint32_t kWinI2cControl1 = 0x94;
constexpr uint32_t kWinI2cData = 0x98;

constexpr uint32_t kRegI2cControl0 = 0x2E0;
constexpr uint32_t kRegI2cControl1 = 0x2E4;
constexpr uint32_t kRegI2cData = 0x2E8;

constexpr uint8_t kPllWriteEnable = 0x80;
constexpr uint8_t kPllDividers = 0x0A;
constexpr uint8_t kPllEnginePost = 0x0D;
constexpr uint8_t kPllMemoryPost = 0x12;

}  // namespace

Adapter::Adapter(const BoardSpec& board, ViolationSink violation, MessageSink unimplemented,
                 I2cEngine::Hooks engineHooks, std::function<void()> clocksChanged)
    : m_family(board.i2cFamily),
      m_violation(std::move(violation)),
      m_unimplemented(std::move(unimplemented)),
      m_clocksChanged(std::move(clocksChanged)),
      m_engine(board.i2cFamily, std::move(engineHooks)) {
    m_pll[kPllDividers] = board.pll0A;
    m_pll[kPllEnginePost] = board.pll0D;
    m_pll[kPllMemoryPost] = board.pll12;
    m_pll[0x0E] = 0x04009C00;
}

double Adapter::EngineMhz() const {
    return DecodeEngineMhz(m_pll[kPllDividers], m_pll[kPllEnginePost]);
}

double Adapter::MemoryMhz() const {
    return DecodeMemoryMhz(m_pll[kPllDividers], m_pll[kPllMemoryPost]);
}

bool Adapter::CheckWriteWidth(uint32_t offset, int width, int expected) {
    if (width == expected) {
        return true;
    }
    m_violation("adapter: " + std::to_string(width) + "-bit write to" + " window offset " +
                Hex(offset, 2) + ", which is " + std::to_string(expected) + " bits wide");
    return false;
}

uint32_t Adapter::RegisterRead(uint32_t reg) {
    if (m_family == I2cFamily::indexed) {
        switch (reg) {
            case kRegI2cControl0:
                return m_engine.ReadControl0();
            case kRegI2cControl1:
                return m_engine.ReadControl1();
            case kRegI2cData:
                return m_engine.ReadData();
            default:
                break;
        }
    }
    auto it = m_registers.find(reg);
    if (it == m_registers.end()) {
        m_unimplemented("adapter: read of register " + Hex(reg, 3) +
                        ", which this model does not drive");
        return 0;
    }
    return it->second;
}

void Adapter::RegisterWrite(uint32_t reg, uint32_t value) {
    if (m_family == I2cFamily::indexed) {
        switch (reg) {
            case kRegI2cControl0:
                m_engine.WriteControl0(value);
                return;
            case kRegI2cControl1:
                m_engine.WriteControl1(value);
                return;
            case kRegI2cData:
                m_engine.WriteData(value);
                return;
            default:
                break;
        }
    }
    m_violation("adapter: write of " + Hex(value, 8) + " to register " + Hex(reg, 3) +
                ", which this model does not drive");
    m_registers[reg] = value;
}

uint32_t Adapter::PllRead(uint8_t index) const {
    const uint8_t reg = index & kPllIndexMask;
    uint32_t value = m_pll[reg];
    if (m_invalidPostCodes && (reg == kPllEnginePost || reg == kPllMemoryPost)) {
        value &= ~7u;
    }
    return value;
}

// Reads of any width are harmless on hardware (a raw window read may land anywhere), so they
// are answered lane by lane from the dword they fall in and never recorded as violations.
uint32_t Adapter::WindowDword(uint32_t offset) {
    const bool direct = m_family == I2cFamily::direct;
    switch (offset) {
        case kWinRegIndex:
            return m_regIndex;
        case kWinRegData:
            return RegisterRead(m_regIndex);
        case kWinPllIndex:
            return m_pllIndex;
        case kWinPllData:
            return PllRead(m_pllIndex);
        case kWinI2cControl0:
            return direct ? m_engine.ReadControl0() : 0;
        case kWinI2cControl1:
            return direct ? m_engine.ReadControl1() : 0;
        case kWinI2cData:
            return direct ? m_engine.ReadData() : 0;
        default:
            m_unimplemented("adapter: read of window offset " + Hex(offset, 2) +
                            ", which this model does not drive");
            return 0;
    }
}

uint32_t Adapter::WindowRead(uint32_t offset, int width) {
    if (width == 8) {
        return (WindowDword(offset & ~3u) >> (8 * (offset & 3))) & 0xFF;
    }
    return (offset & 3) == 0 ? WindowDword(offset) : 0;
}

void Adapter::WindowWrite(uint32_t offset, int width, uint32_t value) {
    const bool direct = m_family == I2cFamily::direct;
    switch (offset) {
        case kWinRegIndex:
            if (CheckWriteWidth(offset, width, 32)) {
                m_regIndex = value;
            }
            return;
        case kWinRegData:
            if (CheckWriteWidth(offset, width, 32)) {
                RegisterWrite(m_regIndex, value);
            }
            return;
        case kWinPllIndex:
            if (CheckWriteWidth(offset, width, 8)) {
                m_pllIndex = static_cast<uint8_t>(value);
            }
            return;
        case kWinPllData:
            if (!CheckWriteWidth(offset, width, 32)) {
                return;
            }
            if ((m_pllIndex & kPllWriteEnable) == 0) {
                m_violation("pll: data write of " + Hex(value, 8) + " with the index at " +
                            Hex(m_pllIndex, 2) + " (write enable clear); dropped");
                return;
            }
            m_pll[m_pllIndex & kPllIndexMask] = value;
            m_clocksChanged();
            return;
        case kWinI2cControl0:
            if (direct) {
                if (CheckWriteWidth(offset, width, 32)) {
                    m_engine.WriteControl0(value);
                }
                return;
            }
            break;
        case kWinI2cControl1:
            if (direct) {
                if (CheckWriteWidth(offset, width, 32)) {
                    m_engine.WriteControl1(value);
                }
                return;
            }
            break;
        case kWinI2cData:
            if (direct) {
                m_engine.WriteData(value);  // 8 or 32 bits: the FIFO takes bits 7-0
                return;
            }
            break;
        default:
            break;
    }
    m_violation("adapter: " + std::to_string(width) + "-bit write of " + Hex(value) +
                " to window offset " + Hex(offset, 2) + ", which nothing decodes");
}

}  // namespace sim
