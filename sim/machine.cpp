#include "sim/machine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "sim/i2c_engine.h"
#include "sim/hex.h"
#include "sim/monitor_chip.h"
#include "sim/physics.h"

namespace sim {

namespace {

constexpr uint32_t kConfigAddressPort = 0xCF8;
constexpr uint32_t kConfigDataPort = 0xCFC;
constexpr uint32_t kConfigEnable = 0x80000000;
constexpr uint32_t kWindowSize = 0x100;
constexpr uint32_t kIoBarMask = 0xFFFFFF00;

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
constexpr uint8_t kPllIndexMask = 0x3F;
constexpr uint8_t kPllDividers = 0x0A;
constexpr uint8_t kPllEnginePost = 0x0D;
constexpr uint8_t kPllMemoryPost = 0x12;

constexpr uint8_t kChipAddress = 0x5E;
constexpr uint8_t kAuxAddress = 0x70;

constexpr size_t kMaxI2cLog = 65536;
constexpr size_t kMaxViolations = 1000;

constexpr int kFanCountScale = 1350000;

uint32_t AllOnes(int width) {
    return width == 8 ? 0xFFu : 0xFFFFFFFFu;
}

struct PciFunction {
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

uint8_t ToRegister(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}
uint8_t ToSigned8(int value) {
    return static_cast<uint8_t>(static_cast<int8_t>(std::clamp(value, -128, 127)));
}

// A small deterministic jitter of -1, 0 or +1 count that changes once a second.
int Noise(int channel, uint64_t nowMs) {
    uint32_t x = static_cast<uint32_t>(channel + 1) * 2654435761u ^
                 static_cast<uint32_t>(nowMs / 1000) * 40503u;
    x ^= x >> 13;
    x *= 0x5BD1E995u;
    x ^= x >> 15;
    static constexpr int kJitter[4] = {-1, 0, 0, 1};
    return kJitter[x & 3];
}

}  // namespace

class Machine::Impl {
public:
    Impl(const BoardSpec& board, Clock& clock);

    uint32_t Read(uint32_t port, int width);
    void Write(uint32_t port, int width, uint32_t value);
    // Brings the physics and the converters up to the clock. Within one millisecond they change
    // only when the state that feeds them does, which Invalidate() records.
    void Refresh();
    void Invalidate() { m_stale = true; }

    uint32_t ConfigRead(int bus, int device, int function, uint8_t offset) const;
    uint32_t PllRead(uint8_t index) const;
    int SensorValue(Sensor sensor) const;
    std::vector<std::string> BeeperCauses() const;
    bool ChipAnswers() const { return m_board.hasMonitorChip && m_chipPresent; }
    int FanDrive() const { return ChipAnswers() ? m_chip.Get(0, MonitorChip::kFanDrive) : 255; }

    void Violation(const std::string& text);

    mutable std::mutex m_mutex;
    const BoardSpec& m_board;
    Clock& m_clock;

    // PCI
    std::vector<PciFunction> m_pci;
    uint32_t m_configAddress = 0;
    uint32_t m_bar1 = 0;

    // Adapter
    uint32_t m_regIndex = 0;
    std::map<uint32_t, uint32_t> m_adapterRegs;
    uint8_t m_pllIndex = 0;
    std::array<uint32_t, 64> m_pll{};

    // I2C bus
    MonitorChip m_chip;
    std::array<SubSensor, 2> m_subSensors;
    AuxDevice m_aux;
    I2cEngine m_engine;

    Physics m_physics;
    std::array<std::optional<int>, kAllSensors.size()> m_pins;

    // Faults
    bool m_chipPresent = true;
    bool m_adapterRemoved = false;
    bool m_ioBarAllOnes = false;
    bool m_invalidPostCodes = false;
    bool m_fanStalled = false;
    int m_ambientExtra = 0;

    // Records
    bool m_traceEnabled = false;
    std::vector<PortAccess> m_trace;
    std::deque<I2cTransaction> m_i2cLog;
    std::vector<std::string> m_violations;
    size_t m_violationsDropped = 0;

private:
    void Convert(uint64_t now);

    bool m_stale = true;
    uint64_t m_refreshedMs = 0;

    PhysicsInputs Inputs() const;
    I2cDevice* FindDevice(uint8_t address);
    bool WindowOffset(uint32_t port, uint32_t& offset) const;
    const PciFunction* FindFunction(int bus, int device) const;
    PciFunction* FindFunction(int bus, int device);

    uint32_t ConfigDataRead();
    void ConfigDataWrite(uint32_t value);
    uint32_t WindowDword(uint32_t offset);
    uint32_t WindowRead(uint32_t offset, int width);
    void WindowWrite(uint32_t offset, int width, uint32_t value);
    uint32_t AdapterRegisterRead(uint32_t reg);
    void AdapterRegisterWrite(uint32_t reg, uint32_t value);
    bool CheckWriteWidth(uint32_t offset, int width, int expected);
    uint8_t FanCount(double rpm) const;
};

Machine::Impl::Impl(const BoardSpec& board, Clock& clock)
    : m_board(board),
      m_clock(clock),
      m_chip([this](const std::string& text) { Violation(text); }),
      m_subSensors{SubSensor([this](const std::string& text) { Violation(text); }),
                   SubSensor([this](const std::string& text) { Violation(text); })},
      m_aux([this](const std::string& text) { Violation(text); }),
      m_engine(board.i2cFamily,
               I2cEngine::Hooks{[this](uint8_t address) { return FindDevice(address); },
                                [this](const std::string& text) { Violation(text); },
                                [this](const I2cTransaction& t) {
                                    Invalidate();  // a device may hold new values
                                    if (m_i2cLog.size() >= kMaxI2cLog) {
                                        m_i2cLog.pop_front();
                                    }
                                    m_i2cLog.push_back(t);
                                }}),
      m_physics(board) {
    for (const PciDeviceSpec& d : board.otherDevices) {
        m_pci.push_back({d.bus, d.device, d.pciId, d.classRev, d.subsystemId, d.bar0, d.bar0Size,
                         d.bar0 & 0xF, false, d.secondaryBus});
    }
    if (board.hasAdapter) {
        m_pci.push_back({board.bus, board.device, board.pciId, board.classRev, board.subsystemId,
                         board.bar0, board.apertureSizeMiB << 20, board.bar0 & 0xF, true, 0});
    }
    m_bar1 = board.bar1;
    m_pll[kPllDividers] = board.pll0A;
    m_pll[kPllEnginePost] = board.pll0D;
    m_pll[kPllMemoryPost] = board.pll12;
    m_pll[0x0E] = 0x04009C00;
    m_physics.Settle(clock.NowMs(), Inputs());
    Refresh();
}

void Machine::Impl::Violation(const std::string& text) {
    if (m_violations.size() < kMaxViolations) {
        m_violations.push_back(text);
    } else {
        ++m_violationsDropped;
    }
}

PhysicsInputs Machine::Impl::Inputs() const {
    return {DecodeEngineMhz(m_pll[kPllDividers], m_pll[kPllEnginePost]),
            DecodeMemoryMhz(m_pll[kPllDividers], m_pll[kPllMemoryPost]), FanDrive(), m_fanStalled,
            m_ambientExtra};
}

uint8_t Machine::Impl::FanCount(double rpm) const {
    const double divisor = m_chip.FanDivisor();
    if (rpm < 1.0) {
        return 255;
    }
    // The chip counts whole ticks of its reference per revolution.
    const double count = std::floor(kFanCountScale / (rpm * divisor));
    return static_cast<uint8_t>(std::clamp(count, 1.0, 255.0));
}

void Machine::Impl::Refresh() {
    const uint64_t now = m_clock.NowMs();
    if (now == m_refreshedMs && !m_stale) {
        return;
    }
    m_refreshedMs = now;
    m_stale = false;
    Convert(now);
}

// Feeds the converters. The chip's measurement registers change only while monitoring runs; the
// sub-sensors convert on their own.
void Machine::Impl::Convert(uint64_t now) {
    m_physics.Advance(now, Inputs());

    auto pinned = [this](Sensor s) { return m_pins[static_cast<size_t>(s)]; };
    auto voltage = [&](Sensor s, int nominalMv, int channel) -> uint8_t {
        if (auto pin = pinned(s)) {
            return ToRegister(*pin / 16);
        }
        return ToRegister(nominalMv / 16 + Noise(channel, now));
    };
    auto temperature = [&](Sensor s, double physical) -> uint8_t {
        if (auto pin = pinned(s)) {
            return ToSigned8(*pin);
        }
        return ToSigned8(static_cast<int>(std::lround(physical)));
    };

    m_subSensors[0].Set(0, temperature(Sensor::temp2, m_physics.MemoryC() + 2.0));
    m_subSensors[1].Set(0, temperature(Sensor::temp3, m_physics.VpuC()));

    if (!m_chip.Started()) {
        return;
    }
    m_chip.Set(0, 0x21, voltage(Sensor::in1, m_board.in1Mv, 1));
    m_chip.Set(0, 0x22, voltage(Sensor::in2, m_board.in2Mv, 2));
    m_chip.Set(0, 0x25, voltage(Sensor::in5, m_board.in5Mv, 5));
    m_chip.Set(0, 0x26, voltage(Sensor::in6, m_board.in6Mv, 6));
    m_chip.Set(0, 0x27, temperature(Sensor::temp1, m_physics.MemoryC()));
    if (auto pin = pinned(Sensor::fan1)) {
        m_chip.Set(0, 0x28, FanCount(*pin));
    } else {
        m_chip.Set(0, 0x28, FanCount(m_physics.FanRpm()));
    }
    m_chip.Set(5, 0x50, voltage(Sensor::in7, m_board.in7Mv, 7));
    m_chip.Set(5, 0x51, m_chip.In8Enabled() ? voltage(Sensor::in8, m_board.in8Mv, 8) : 0);
}

I2cDevice* Machine::Impl::FindDevice(uint8_t address) {
    if (!ChipAnswers()) {
        return nullptr;
    }
    if (address == kChipAddress) {
        return &m_chip;
    }
    if (address == m_chip.SubSensorAddress(0)) {
        return &m_subSensors[0];
    }
    if (address == m_chip.SubSensorAddress(1)) {
        return &m_subSensors[1];
    }
    if (address == kAuxAddress) {
        return &m_aux;
    }
    return nullptr;
}

// --- PCI ---

const PciFunction* Machine::Impl::FindFunction(int bus, int device) const {
    for (const PciFunction& f : m_pci) {
        if (f.bus == bus && f.device == device) {
            if (f.isAdapter && m_adapterRemoved) {
                return nullptr;
            }
            return &f;
        }
    }
    return nullptr;
}

PciFunction* Machine::Impl::FindFunction(int bus, int device) {
    return const_cast<PciFunction*>(std::as_const(*this).FindFunction(bus, device));
}

uint32_t Machine::Impl::ConfigRead(int bus, int device, int function, uint8_t offset) const {
    const PciFunction* f = function == 0 ? FindFunction(bus, device) : nullptr;
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

uint32_t Machine::Impl::ConfigDataRead() {
    if ((m_configAddress & kConfigEnable) == 0) {
        Violation("pci: configuration data read with the enable bit clear (address " +
                  Hex(m_configAddress, 8) + ")");
        return 0xFFFFFFFF;
    }
    return ConfigRead((m_configAddress >> 16) & 0xFF, (m_configAddress >> 11) & 0x1F,
                      (m_configAddress >> 8) & 7, m_configAddress & 0xFC);
}

void Machine::Impl::ConfigDataWrite(uint32_t value) {
    const std::string where =
        "(address " + Hex(m_configAddress, 8) + ", value " + Hex(value, 8) + ")";
    if ((m_configAddress & kConfigEnable) == 0) {
        Violation("pci: configuration data write with the enable bit clear " + where);
        return;
    }
    const int bus = (m_configAddress >> 16) & 0xFF;
    const int device = (m_configAddress >> 11) & 0x1F;
    const int function = (m_configAddress >> 8) & 7;
    const uint8_t offset = m_configAddress & 0xFC;
    PciFunction* f = function == 0 ? FindFunction(bus, device) : nullptr;
    if (f == nullptr) {
        Violation("pci: configuration write to an absent device " + where);
        return;
    }
    if (offset == 0x10 && f->bar0Size != 0) {
        f->bar0 = (value & ~(f->bar0Size - 1) & ~0xFu) | f->bar0Flags;
        return;
    }
    if (offset == 0x14 && f->isAdapter) {
        m_bar1 = (value & kIoBarMask) | 1;
        return;
    }
    Violation("pci: write to read-only configuration register " + where);
}

// --- Adapter window ---

bool Machine::Impl::WindowOffset(uint32_t port, uint32_t& offset) const {
    if (!m_board.hasAdapter || m_adapterRemoved) {
        return false;
    }
    const uint32_t base = m_bar1 & 0xFFFFFFFC;
    if (port - base >= kWindowSize) {
        return false;
    }
    offset = port - base;
    return true;
}

bool Machine::Impl::CheckWriteWidth(uint32_t offset, int width, int expected) {
    if (width == expected) {
        return true;
    }
    Violation("adapter: " + std::to_string(width) + "-bit write to" + " window offset " +
              Hex(offset, 2) + ", which is " + std::to_string(expected) + " bits wide");
    return false;
}

uint32_t Machine::Impl::AdapterRegisterRead(uint32_t reg) {
    if (m_board.i2cFamily == I2cFamily::indexed) {
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
    auto it = m_adapterRegs.find(reg);
    return it == m_adapterRegs.end() ? 0 : it->second;
}

void Machine::Impl::AdapterRegisterWrite(uint32_t reg, uint32_t value) {
    if (m_board.i2cFamily == I2cFamily::indexed) {
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
    Violation("adapter: write of " + Hex(value, 8) + " to register " + Hex(reg, 3) +
              ", which this model does not drive");
    m_adapterRegs[reg] = value;
}

uint32_t Machine::Impl::PllRead(uint8_t index) const {
    const uint8_t reg = index & kPllIndexMask;
    uint32_t value = m_pll[reg];
    if (m_invalidPostCodes && (reg == kPllEnginePost || reg == kPllMemoryPost)) {
        value &= ~7u;
    }
    return value;
}

// Reads of any width are harmless on hardware (a raw window read may land anywhere), so they
// are answered lane by lane from the dword they fall in and never recorded as violations.
uint32_t Machine::Impl::WindowDword(uint32_t offset) {
    const bool direct = m_board.i2cFamily == I2cFamily::direct;
    switch (offset) {
        case kWinRegIndex:
            return m_regIndex;
        case kWinRegData:
            return AdapterRegisterRead(m_regIndex);
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
            return 0;  // registers this model does not drive read as zero
    }
}

uint32_t Machine::Impl::WindowRead(uint32_t offset, int width) {
    if (width == 8) {
        return (WindowDword(offset & ~3u) >> (8 * (offset & 3))) & 0xFF;
    }
    return (offset & 3) == 0 ? WindowDword(offset) : 0;
}

void Machine::Impl::WindowWrite(uint32_t offset, int width, uint32_t value) {
    const bool direct = m_board.i2cFamily == I2cFamily::direct;
    switch (offset) {
        case kWinRegIndex:
            if (CheckWriteWidth(offset, width, 32)) {
                m_regIndex = value;
            }
            return;
        case kWinRegData:
            if (CheckWriteWidth(offset, width, 32)) {
                AdapterRegisterWrite(m_regIndex, value);
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
                Violation("pll: data write of " + Hex(value, 8) + " with the index at " +
                          Hex(m_pllIndex, 2) + " (write enable clear); dropped");
                return;
            }
            m_pll[m_pllIndex & kPllIndexMask] = value;
            Invalidate();  // the clocks feed the physics
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
    Violation("adapter: " + std::to_string(width) + "-bit write of " + Hex(value) +
              " to window offset " + Hex(offset, 2) + ", which nothing decodes");
}

// --- Port dispatch ---

uint32_t Machine::Impl::Read(uint32_t port, int width) {
    if (port == kConfigAddressPort && width == 32) {
        return m_configAddress;
    }
    if (port == kConfigDataPort && width == 32) {
        return ConfigDataRead();
    }
    if (port >= kConfigAddressPort && port < kConfigDataPort + 4) {
        return AllOnes(width);  // partial accesses to the pair are not modelled
    }
    uint32_t offset = 0;
    if (WindowOffset(port, offset)) {
        return WindowRead(offset, width);
    }
    return AllOnes(width);  // nothing decodes the port: the bus floats high
}

void Machine::Impl::Write(uint32_t port, int width, uint32_t value) {
    if (port == kConfigAddressPort && width == 32) {
        if ((value & 0x7F000003) != 0) {
            Violation("pci: configuration address " + Hex(value, 8) + " sets reserved bits");
        }
        m_configAddress = value;
        return;
    }
    if (port == kConfigDataPort && width == 32) {
        ConfigDataWrite(value);
        return;
    }
    if (port >= kConfigAddressPort && port < kConfigDataPort + 4) {
        Violation("pci: " + std::to_string(width) + "-bit write to port " + Hex(port, 4));
        return;
    }
    uint32_t offset = 0;
    if (WindowOffset(port, offset)) {
        WindowWrite(offset, width, value);
        return;
    }
    Violation("bus: " + std::to_string(width) + "-bit write of " + Hex(value) + " to port " +
              Hex(port, 4) + ", which nothing decodes");
}

// --- Observation helpers ---

int Machine::Impl::SensorValue(Sensor sensor) const {
    switch (sensor) {
        case Sensor::fan1: {
            const int count = m_chip.Get(0, 0x28);
            return count == 0 ? 0 : kFanCountScale / (count * m_chip.FanDivisor());
        }
        case Sensor::in1:
            return m_chip.Get(0, 0x21) * 16;
        case Sensor::in2:
            return m_chip.Get(0, 0x22) * 16;
        case Sensor::in5:
            return m_chip.Get(0, 0x25) * 16;
        case Sensor::in6:
            return m_chip.Get(0, 0x26) * 16;
        case Sensor::in7:
            return m_chip.Get(5, 0x50) * 16;
        case Sensor::in8:
            return m_chip.Get(5, 0x51) * 16;
        case Sensor::temp1:
            return static_cast<int8_t>(m_chip.Get(0, 0x27));
        case Sensor::temp2:
            return static_cast<int8_t>(m_subSensors[0].Get(0));
        case Sensor::temp3:
            return static_cast<int8_t>(m_subSensors[1].Get(0));
    }
    return 0;
}

std::vector<std::string> Machine::Impl::BeeperCauses() const {
    std::vector<std::string> causes;
    if (!ChipAnswers() || (m_chip.Get(0, 0x57) & 0x80) == 0) {
        return causes;
    }
    const uint8_t enable56 = m_chip.Get(0, 0x56);
    const uint8_t enable57 = m_chip.Get(0, 0x57);
    const uint8_t enable53 = m_chip.Get(4, 0x53);
    auto voltage = [&](bool enabled, const char* name, int bank, uint8_t reg, uint8_t high,
                       uint8_t low) {
        if (!enabled) {
            return;
        }
        const int v = m_chip.Get(bank, reg);
        const int a = m_chip.Get(bank, high);
        const int b = m_chip.Get(bank, low);
        if (v > a) {
            causes.push_back(std::string(name) + " " + std::to_string(v * 16) + " mV above limit " +
                             std::to_string(a * 16));
        } else if (v < b) {
            causes.push_back(std::string(name) + " " + std::to_string(v * 16) + " mV below limit " +
                             std::to_string(b * 16));
        }
    };
    auto temperature = [&](bool enabled, const char* name, uint8_t value, uint8_t limit) {
        const int t = static_cast<int8_t>(value);
        const int l = static_cast<int8_t>(limit);
        if (enabled && t > l) {
            causes.push_back(std::string(name) + " " + std::to_string(t) + " C above limit " +
                             std::to_string(l));
        }
    };
    voltage(enable56 & 0x02, "in1", 0, 0x21, 0x2D, 0x2E);
    voltage(enable56 & 0x04, "in2", 0, 0x22, 0x2F, 0x30);
    temperature(enable56 & 0x10, "temp1", m_chip.Get(0, 0x27), m_chip.Get(0, 0x39));
    temperature(enable56 & 0x20, "temp2", m_subSensors[0].Get(0), m_subSensors[0].Get(2));
    // A fan alarms at or above its count limit; an idle counter (255) always reaches it.
    auto fan = [&](bool enabled, const char* name, uint8_t countReg, uint8_t limitReg) {
        const int count = m_chip.Get(0, countReg);
        const int limit = m_chip.Get(0, limitReg);
        if (enabled && count >= limit) {
            causes.push_back(std::string(name) + " count " + std::to_string(count) +
                             " at or above limit " + std::to_string(limit));
        }
    };
    fan(enable56 & 0x40, "fan1", 0x28, 0x3B);
    fan(enable56 & 0x80, "fan2", 0x29, 0x3C);
    voltage(enable57 & 0x02, "in5", 0, 0x25, 0x35, 0x36);
    voltage(enable57 & 0x04, "in6", 0, 0x26, 0x37, 0x38);
    temperature(enable57 & 0x20, "temp3", m_subSensors[1].Get(0), m_subSensors[1].Get(2));
    voltage(enable53 & 0x01, "in7", 5, 0x50, 0x54, 0x55);
    voltage(enable53 & 0x02, "in8", 5, 0x51, 0x56, 0x57);
    return causes;
}

// --- Machine ---

Machine::Machine(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Machine::~Machine() = default;

std::unique_ptr<Machine> Machine::Create(std::string_view boardName, Clock& clock) {
    const BoardSpec* board = FindBoard(boardName);
    if (board == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<Machine>(new Machine(std::make_unique<Impl>(*board, clock)));
}

uint8_t Machine::ReadPort8(uint32_t port) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    const uint8_t value = static_cast<uint8_t>(m_impl->Read(port, 8));
    if (m_impl->m_traceEnabled) {
        m_impl->m_trace.push_back({8, false, port, value});
    }
    return value;
}

uint32_t Machine::ReadPort32(uint32_t port) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    const uint32_t value = m_impl->Read(port, 32);
    if (m_impl->m_traceEnabled) {
        m_impl->m_trace.push_back({32, false, port, value});
    }
    return value;
}

void Machine::WritePort8(uint32_t port, uint8_t value) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    if (m_impl->m_traceEnabled) {
        m_impl->m_trace.push_back({8, true, port, value});
    }
    m_impl->Write(port, 8, value);
}

void Machine::WritePort32(uint32_t port, uint32_t value) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    if (m_impl->m_traceEnabled) {
        m_impl->m_trace.push_back({32, true, port, value});
    }
    m_impl->Write(port, 32, value);
}

void Machine::SetTraceEnabled(bool enabled) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_traceEnabled = enabled;
}

std::vector<PortAccess> Machine::TakeTrace() {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    std::vector<PortAccess> trace;
    trace.swap(m_impl->m_trace);
    return trace;
}

std::vector<I2cTransaction> Machine::TakeI2cLog() {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    std::vector<I2cTransaction> log(m_impl->m_i2cLog.begin(), m_impl->m_i2cLog.end());
    m_impl->m_i2cLog.clear();
    return log;
}

std::vector<std::string> Machine::Violations() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    std::vector<std::string> violations = m_impl->m_violations;
    if (m_impl->m_violationsDropped > 0) {
        violations.push_back("... and " + std::to_string(m_impl->m_violationsDropped) + " more");
    }
    return violations;
}

void Machine::ClearViolations() {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_violations.clear();
    m_impl->m_violationsDropped = 0;
}

void Machine::SetChipPresent(bool present) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    m_impl->m_chipPresent = present;
    m_impl->Invalidate();
}

void Machine::SetNackOnTransaction(int n) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_engine.SetNackOnTransaction(n);
}

void Machine::SetNackEvery(int k) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_engine.SetNackEvery(k);
}

void Machine::SetEngineStuckBusy(bool stuck) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_engine.SetStuckBusy(stuck);
}

void Machine::SetHaltBit(bool halt) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_engine.SetHalt(halt);
}

void Machine::SetAdapterRemoved(bool removed) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_adapterRemoved = removed;
}

void Machine::SetIoBarAllOnes(bool allOnes) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_ioBarAllOnes = allOnes;
}

void Machine::SetInvalidPostCodes(bool invalid) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_invalidPostCodes = invalid;
    m_impl->Invalidate();
}

void Machine::SetFanStalled(bool stalled) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();  // time up to now ran with the old state
    m_impl->m_fanStalled = stalled;
    m_impl->Invalidate();
    m_impl->Refresh();
}

void Machine::SetAmbientHeat(int extraDegreesC) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    m_impl->m_ambientExtra = extraDegreesC;
    m_impl->Invalidate();
}

void Machine::PinSensor(Sensor sensor, int value) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_pins[static_cast<size_t>(sensor)] = value;
    m_impl->Invalidate();
    m_impl->Refresh();
}

void Machine::UnpinSensor(Sensor sensor) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_pins[static_cast<size_t>(sensor)].reset();
    m_impl->Invalidate();
    m_impl->Refresh();
}

void Machine::SetBusyPolls(int n) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_engine.SetBusyPolls(n);
}

uint8_t Machine::ChipRegister(int bank, uint8_t reg) const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    return m_impl->m_chip.Get(bank, reg);
}

void Machine::SetChipRegister(int bank, uint8_t reg, uint8_t value) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_chip.Set(bank, reg, value);
    m_impl->Invalidate();
}

uint8_t Machine::SubSensorRegister(int which, uint8_t reg) const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    return m_impl->m_subSensors[which == 0 ? 0 : 1].Get(reg);
}

uint32_t Machine::PllRegister(uint8_t index) const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->m_pll[index & kPllIndexMask];
}

uint8_t Machine::PllIndex() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->m_pllIndex;
}

uint32_t Machine::PciConfig(int bus, int device, int function, uint8_t offset) const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->ConfigRead(bus, device, function, offset);
}

double Machine::EngineMhz() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return DecodeEngineMhz(m_impl->m_pll[kPllDividers], m_impl->m_pll[kPllEnginePost]);
}

double Machine::MemoryMhz() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return DecodeMemoryMhz(m_impl->m_pll[kPllDividers], m_impl->m_pll[kPllMemoryPost]);
}

int Machine::FanDrive() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->FanDrive();
}

int Machine::FanRpm() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    return static_cast<int>(std::lround(m_impl->m_physics.FanRpm()));
}

int Machine::Bank() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->m_chip.Bank();
}

bool Machine::BeeperOn() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    return !m_impl->BeeperCauses().empty();
}

std::vector<std::string> Machine::BeeperCauses() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    return m_impl->BeeperCauses();
}

int Machine::SensorValue(Sensor sensor) const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    return m_impl->SensorValue(sensor);
}

bool Machine::ChipStarted() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->m_chip.Started();
}

std::vector<std::pair<std::string, std::string>> Machine::StateLines() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    Impl& m = *m_impl;
    m.Refresh();
    char text[32];
    std::vector<std::pair<std::string, std::string>> lines;
    std::snprintf(text, sizeof text, "%.2f",
                  DecodeEngineMhz(m.m_pll[kPllDividers], m.m_pll[kPllEnginePost]));
    lines.emplace_back("engine_mhz", text);
    std::snprintf(text, sizeof text, "%.2f",
                  DecodeMemoryMhz(m.m_pll[kPllDividers], m.m_pll[kPllMemoryPost]));
    lines.emplace_back("memory_mhz", text);
    lines.emplace_back("fan_drive", std::to_string(m.FanDrive()));
    lines.emplace_back("fan_rpm", std::to_string(std::lround(m.m_physics.FanRpm())));
    lines.emplace_back("bank", Hex(static_cast<uint32_t>(m.m_chip.Bank())));
    lines.emplace_back("pll_index", Hex(m.m_pllIndex, 2));
    lines.emplace_back("monitoring", m.m_chip.Started() ? "on" : "off");
    const std::vector<std::string> causes = m.BeeperCauses();
    lines.emplace_back("beeper", causes.empty() ? "off" : "on");
    if (!causes.empty()) {
        std::string joined;
        for (const std::string& cause : causes) {
            joined += (joined.empty() ? "" : "; ") + cause;
        }
        lines.emplace_back("beeper_causes", joined);
    }
    for (Sensor sensor : kAllSensors) {
        lines.emplace_back(SensorName(sensor), std::to_string(m.SensorValue(sensor)));
    }
    return lines;
}

const BoardSpec& Machine::Board() const {
    return m_impl->m_board;
}

}  // namespace sim
