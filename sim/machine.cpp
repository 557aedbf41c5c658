#include "sim/machine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

#include "sim/adapter.h"
#include "sim/hex.h"
#include "sim/monitor_chip.h"
#include "sim/pci_config.h"
#include "sim/physics.h"

namespace sim {

namespace {

constexpr uint8_t kChipAddress = 0x5E;
constexpr uint8_t kAuxAddress = 0x70;

constexpr size_t kMaxI2cLog = 65536;
constexpr size_t kMaxMessages = 1000;

uint32_t AllOnes(int width) {
    return width == 8 ? 0xFFu : 0xFFFFFFFFu;
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

// A channel of messages, bounded so that a runaway caller cannot exhaust memory.
class MessageChannel {
public:
    void Add(const std::string& text) {
        if (m_messages.size() < kMaxMessages) {
            m_messages.push_back(text);
        } else {
            ++m_dropped;
        }
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages = m_messages;
        if (m_dropped > 0) {
            messages.push_back("... and " + std::to_string(m_dropped) + " more");
        }
        return messages;
    }
    void Clear() {
        m_messages.clear();
        m_dropped = 0;
    }

private:
    std::vector<std::string> m_messages;
    size_t m_dropped = 0;
};

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

    int SensorValue(Sensor sensor) const;
    std::vector<std::string> BeeperCauses() const;
    bool ChipAnswers() const { return m_board.hasMonitorChip && m_chipPresent; }
    int FanDrive() const { return ChipAnswers() ? m_chip.Get(0, MonitorChip::kFanDrive) : 255; }

    void Violation(const std::string& text) { m_violations.Add(text); }
    void Unimplemented(const std::string& text) { m_unimplemented.Add(text); }

    mutable std::mutex m_mutex;
    const BoardSpec& m_board;
    Clock& m_clock;

    PciConfigSpace m_pci;
    Adapter m_adapter;

    // I2C bus
    MonitorChip m_chip;
    std::array<SubSensor, 2> m_subSensors;
    AuxDevice m_aux;

    Physics m_physics;
    std::array<std::optional<int>, kAllSensors.size()> m_pins;

    // Faults
    bool m_chipPresent = true;
    bool m_fanStalled = false;
    int m_ambientExtra = 0;

    // Records
    bool m_traceEnabled = false;
    std::vector<PortAccess> m_trace;
    std::deque<I2cTransaction> m_i2cLog;
    MessageChannel m_violations;
    MessageChannel m_unimplemented;

private:
    void Convert(uint64_t now);

    bool m_stale = true;
    uint64_t m_refreshedMs = 0;

    PhysicsInputs Inputs() const;
    I2cDevice* FindDevice(uint8_t address);
    bool WindowOffset(uint32_t port, uint32_t& offset) const;
};

Machine::Impl::Impl(const BoardSpec& board, Clock& clock)
    : m_board(board),
      m_clock(clock),
      m_pci(board, [this](const std::string& text) { Violation(text); }),
      m_adapter(
          board, [this](const std::string& text) { Violation(text); },
          [this](const std::string& text) { Unimplemented(text); },
          I2cEngine::Hooks{[this](uint8_t address) { return FindDevice(address); },
                           [this](const std::string& text) { Violation(text); },
                           [this](const I2cTransaction& t) {
                               Invalidate();  // a device may hold new values
                               if (m_i2cLog.size() >= kMaxI2cLog) {
                                   m_i2cLog.pop_front();
                               }
                               m_i2cLog.push_back(t);
                           }},
          [this] { Invalidate(); }),
      m_chip([this](const std::string& text) { Violation(text); }),
      m_subSensors{SubSensor([this](const std::string& text) { Violation(text); }),
                   SubSensor([this](const std::string& text) { Violation(text); })},
      m_aux([this](const std::string& text) { Violation(text); }),
      m_physics(board) {
    m_physics.Settle(clock.NowMs(), Inputs());
    Refresh();
}

PhysicsInputs Machine::Impl::Inputs() const {
    return {m_adapter.EngineMhz(), m_adapter.MemoryMhz(), FanDrive(), m_fanStalled, m_ambientExtra};
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
    auto millivolts = [&](Sensor s, int nominalMv, int channel) {
        if (auto pin = pinned(s)) {
            return *pin;
        }
        return nominalMv + MonitorChip::kMillivoltsPerCount * Noise(channel, now);
    };
    auto celsius = [&](Sensor s, double physical) {
        if (auto pin = pinned(s)) {
            return *pin;
        }
        return static_cast<int>(std::lround(physical));
    };

    m_subSensors[0].Measure(celsius(Sensor::temp2, m_physics.MemoryC() + 2.0));
    m_subSensors[1].Measure(celsius(Sensor::temp3, m_physics.VpuC()));

    const std::optional<int> fanPin = pinned(Sensor::fan1);
    m_chip.Measure(
        {millivolts(Sensor::in1, m_board.in1Mv, 1), millivolts(Sensor::in2, m_board.in2Mv, 2),
         millivolts(Sensor::in5, m_board.in5Mv, 5), millivolts(Sensor::in6, m_board.in6Mv, 6),
         millivolts(Sensor::in7, m_board.in7Mv, 7), millivolts(Sensor::in8, m_board.in8Mv, 8),
         celsius(Sensor::temp1, m_physics.MemoryC()),
         fanPin ? static_cast<double>(*fanPin) : m_physics.FanRpm()});
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

// --- Bus decode and port dispatch ---

bool Machine::Impl::WindowOffset(uint32_t port, uint32_t& offset) const {
    if (!m_board.hasAdapter || m_pci.AdapterRemoved()) {
        return false;
    }
    const uint32_t base = m_pci.IoBar() & 0xFFFFFFFC;
    if (port - base >= Adapter::kWindowSize) {
        return false;
    }
    offset = port - base;
    return true;
}

uint32_t Machine::Impl::Read(uint32_t port, int width) {
    if (port == PciConfigSpace::kAddressPort && width == 32) {
        return m_pci.ReadAddress();
    }
    if (port == PciConfigSpace::kDataPort && width == 32) {
        return m_pci.ReadData();
    }
    if (port >= PciConfigSpace::kAddressPort && port < PciConfigSpace::kDataPort + 4) {
        Unimplemented("pci: " + std::to_string(width) + "-bit read of port " + Hex(port, 4) +
                      " (partial configuration accesses are not modelled)");
        return AllOnes(width);
    }
    uint32_t offset = 0;
    if (WindowOffset(port, offset)) {
        return m_adapter.WindowRead(offset, width);
    }
    return AllOnes(width);  // nothing decodes the port: the bus floats high
}

void Machine::Impl::Write(uint32_t port, int width, uint32_t value) {
    if (port == PciConfigSpace::kAddressPort && width == 32) {
        m_pci.WriteAddress(value);
        return;
    }
    if (port == PciConfigSpace::kDataPort && width == 32) {
        m_pci.WriteData(value);
        return;
    }
    if (port >= PciConfigSpace::kAddressPort && port < PciConfigSpace::kDataPort + 4) {
        Unimplemented("pci: " + std::to_string(width) + "-bit write of " + Hex(value) +
                      " to port " + Hex(port, 4) +
                      " (partial configuration accesses are not modelled); dropped");
        return;
    }
    uint32_t offset = 0;
    if (WindowOffset(port, offset)) {
        m_adapter.WindowWrite(offset, width, value);
        return;
    }
    Violation("bus: " + std::to_string(width) + "-bit write of " + Hex(value) + " to port " +
              Hex(port, 4) + ", which nothing decodes");
}

// --- Observation helpers ---

int Machine::Impl::SensorValue(Sensor sensor) const {
    switch (sensor) {
        case Sensor::temp2:
            return m_subSensors[0].Celsius();
        case Sensor::temp3:
            return m_subSensors[1].Celsius();
        default:
            return m_chip.SensorValue(sensor);
    }
}

std::vector<std::string> Machine::Impl::BeeperCauses() const {
    if (!ChipAnswers()) {
        return {};
    }
    return m_chip.BeeperCauses(m_subSensors[0], m_subSensors[1]);
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
    return m_impl->m_violations.Messages();
}

void Machine::ClearViolations() {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_violations.Clear();
}

std::vector<std::string> Machine::Unimplemented() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->m_unimplemented.Messages();
}

void Machine::ClearUnimplemented() {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_unimplemented.Clear();
}

void Machine::SetChipPresent(bool present) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->Refresh();
    m_impl->m_chipPresent = present;
    m_impl->Invalidate();
}

void Machine::SetNackOnTransaction(int n) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_adapter.Engine().SetNackOnTransaction(n);
}

void Machine::SetNackEvery(int k) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_adapter.Engine().SetNackEvery(k);
}

void Machine::SetEngineStuckBusy(bool stuck) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_adapter.Engine().SetStuckBusy(stuck);
}

void Machine::SetHaltBit(bool halt) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_adapter.Engine().SetHalt(halt);
}

void Machine::SetAdapterRemoved(bool removed) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_pci.SetAdapterRemoved(removed);
}

void Machine::SetIoBarAllOnes(bool allOnes) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_pci.SetIoBarAllOnes(allOnes);
}

void Machine::SetInvalidPostCodes(bool invalid) {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    m_impl->m_adapter.SetInvalidPostCodes(invalid);
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
    m_impl->m_adapter.Engine().SetBusyPolls(n);
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
    return m_impl->m_adapter.PllRegister(index);
}

uint8_t Machine::PllIndex() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->m_adapter.PllIndex();
}

uint32_t Machine::PciConfig(int bus, int device, int function, uint8_t offset) const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->m_pci.Read(bus, device, function, offset);
}

double Machine::EngineMhz() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->m_adapter.EngineMhz();
}

double Machine::MemoryMhz() const {
    std::lock_guard<std::mutex> lock(m_impl->m_mutex);
    return m_impl->m_adapter.MemoryMhz();
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
    std::snprintf(text, sizeof text, "%.2f", m.m_adapter.EngineMhz());
    lines.emplace_back("engine_mhz", text);
    std::snprintf(text, sizeof text, "%.2f", m.m_adapter.MemoryMhz());
    lines.emplace_back("memory_mhz", text);
    lines.emplace_back("fan_drive", std::to_string(m.FanDrive()));
    lines.emplace_back("fan_rpm", std::to_string(std::lround(m.m_physics.FanRpm())));
    lines.emplace_back("bank", Hex(static_cast<uint32_t>(m.m_chip.Bank())));
    lines.emplace_back("pll_index", Hex(m.m_adapter.PllIndex(), 2));
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
