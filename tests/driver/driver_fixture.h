// A simulated machine with the KestATI driver loaded on it through the I/O manager emulation,
// and helpers to send requests and read what the hardware saw.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/driver_entry.h"
#include "host/io_manager.h"
#include "protocol/ioctl.h"
#include "sim/machine.h"
#include "tests/driver/recording_port_bus.h"
#ifndef _WIN32
#include "host/hardware_port_bus.h"
#include "tests/driver/simulated_sysfs.h"
#endif

namespace kest_test {

struct Reply {
    uint32_t status = 0;
    uint32_t information = 0;
    std::vector<uint8_t> output;

    uint32_t Word(size_t index = 0) const;
    MonitorReadings Readings() const;
    AdapterInfo Adapter() const;
};

// Compact forms of the hardware's traffic, for sequence comparisons:
// port accesses as "out32 c090 14140327" / "in32 c090" (read values are the machine's business),
// I2C transactions as "r 5e 4e" / "w 5e 4e 80" (address in write form, then register and value).
std::vector<std::string> PortLines(const std::vector<sim::PortAccess>& trace);
std::vector<std::string> I2cLines(const std::vector<sim::I2cTransaction>& log);

// True when the suite runs through hardware mode's port bus over the machine's files
// (KEST_TEST_PORT_BUS=hardware), false when the driver reaches the machine directly.
bool ThroughHardwareBus();

class DriverTest : public ::testing::Test {
protected:
    // Loads the driver on `board`; the fixture asserts at tear-down that the machine saw no
    // protocol violation unless a test says it expects one. Through the hardware bus, the port
    // trace is what the driver did and read, since the bus answers some accesses itself.
    void Load(const std::string& board);
    void TearDown() override;

    Reply Send(uint32_t code, const std::vector<uint8_t>& in, uint32_t outLength);
    Reply SendValue(uint32_t code, uint32_t value, uint32_t outLength = 0);
    Reply SendNothing(uint32_t code, uint32_t outLength = 0);

    // Starts recording from here; the helpers below return what was recorded since.
    void StartRecording();
    std::vector<std::string> PortTrace();
    std::vector<std::string> I2cTrace();

    uint32_t IoBase() const;

    sim::SteppedClock m_clock;
    std::unique_ptr<sim::Machine> m_machine;
    int m_handle = -1;
    int32_t m_loadStatus = 0;
    bool m_expectViolations = false;

    // Through the hardware bus only.
#ifndef _WIN32
    std::unique_ptr<SimulatedSysfs> m_sysfs;
    std::unique_ptr<host::HardwarePortBus> m_hardwareBus;
#endif
    std::unique_ptr<RecordingPortBus> m_recorder;
    std::vector<std::string> m_refusals;  // what the hardware bus logged
};

std::vector<uint8_t> Le32(uint32_t value);
// Lower-case hex without prefix, as the trace lines print numbers.
std::string Hex(uint32_t value);

}  // namespace kest_test
