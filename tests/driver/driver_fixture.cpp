#include "tests/driver/driver_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/driver_entry.h"

namespace kest_test {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%x", value);
    return text;
}

std::vector<uint8_t> Le32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

uint32_t Reply::Word(size_t index) const {
    uint32_t value = 0;
    if (output.size() >= (index + 1) * 4) {
        std::memcpy(&value, output.data() + index * 4, 4);
    }
    return value;
}

MonitorReadings Reply::Readings() const {
    MonitorReadings readings = {};
    std::memcpy(&readings, output.data(), std::min(output.size(), sizeof(readings)));
    return readings;
}

AdapterInfo Reply::Adapter() const {
    AdapterInfo info = {};
    std::memcpy(&info, output.data(), std::min(output.size(), sizeof(info)));
    return info;
}

std::vector<std::string> PortLines(const std::vector<sim::PortAccess>& trace) {
    std::vector<std::string> lines;
    for (const sim::PortAccess& access : trace) {
        std::string line =
            (access.write ? "out" : "in") + std::to_string(access.width) + " " + Hex(access.port);
        if (access.write) {
            line += " " + Hex(access.value);
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> I2cLines(const std::vector<sim::I2cTransaction>& log) {
    std::vector<std::string> lines;
    for (const sim::I2cTransaction& t : log) {
        std::string line = std::string(t.read ? "r " : "w ") + Hex(t.address) + " " + Hex(t.reg);
        if (!t.read) {
            line += " " + Hex(t.value);
        }
        if (t.outcome != sim::I2cOutcome::acknowledged) {
            line += std::string(" ") + sim::OutcomeName(t.outcome);
        }
        lines.push_back(line);
    }
    return lines;
}

// Hardware mode exists on Linux only: elsewhere the suite runs on the simulated bus alone.
bool ThroughHardwareBus() {
#ifdef _WIN32
    return false;
#else
    const char* bus = std::getenv("KEST_TEST_PORT_BUS");
    return bus != nullptr && std::strcmp(bus, "hardware") == 0;
#endif
}

void DriverTest::Load(const std::string& board) {
    m_machine = sim::Machine::Create(board, m_clock);
    ASSERT_NE(m_machine, nullptr) << board;
#ifndef _WIN32
    if (ThroughHardwareBus()) {
        m_sysfs = std::make_unique<SimulatedSysfs>(*m_machine);
        m_hardwareBus = std::make_unique<host::HardwarePortBus>(
            *m_sysfs, m_sysfs->AdapterSlot(), m_sysfs->Window(), host::WindowPath::resourceFile,
            [this](const std::string& line) { m_refusals.push_back(line); });
        m_recorder = std::make_unique<RecordingPortBus>(*m_hardwareBus);
        host::AttachPortBus(m_recorder.get());
    } else {
        host::AttachPortBus(m_machine.get());
    }
#else
    host::AttachPortBus(m_machine.get());
#endif
    m_loadStatus = host::LoadDriver(host::KestatiDriverEntry());
    if (m_loadStatus == 0) {
        int32_t status = 0;
        m_handle = host::OpenDevice(KEST_USER_PATH, &status);
        ASSERT_GE(m_handle, 0);
        ASSERT_EQ(status, 0);
    }
    m_machine->TakeI2cLog();
}

void DriverTest::TearDown() {
    if (m_handle >= 0) {
        EXPECT_EQ(host::CloseDevice(m_handle), 0);
    }
    host::UnloadDriver();
    host::AttachPortBus(nullptr);
    EXPECT_EQ(host::OpenHandleCount(), 0);
    if (m_machine && !m_expectViolations) {
        EXPECT_EQ(m_machine->Violations(), std::vector<std::string>());
    }
}

Reply DriverTest::Send(uint32_t code, const std::vector<uint8_t>& in, uint32_t outLength) {
    Reply reply;
    reply.output.assign(outLength, 0xCC);
    reply.status = static_cast<uint32_t>(
        host::DeviceControl(m_handle, code, in.data(), static_cast<uint32_t>(in.size()),
                            reply.output.data(), outLength, &reply.information));
    reply.output.resize(reply.information);
    return reply;
}

Reply DriverTest::SendValue(uint32_t code, uint32_t value, uint32_t outLength) {
    return Send(code, Le32(value), outLength);
}

Reply DriverTest::SendNothing(uint32_t code, uint32_t outLength) {
    return Send(code, {}, outLength);
}

void DriverTest::StartRecording() {
    if (m_recorder) {
        m_recorder->Start();
    }
    m_machine->SetTraceEnabled(true);
    m_machine->TakeTrace();
    m_machine->TakeI2cLog();
}

std::vector<std::string> DriverTest::PortTrace() {
    if (m_recorder) {
        m_machine->TakeTrace();
        return PortLines(m_recorder->Take());
    }
    return PortLines(m_machine->TakeTrace());
}

std::vector<std::string> DriverTest::I2cTrace() {
    return I2cLines(m_machine->TakeI2cLog());
}

uint32_t DriverTest::IoBase() const {
    return m_machine->Board().bar1 & 0xFFFFFFFC;
}

}  // namespace kest_test
