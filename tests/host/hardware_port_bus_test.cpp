// Hardware mode's port bus on the simulated machine: the driver sees what it sees on the machine
// itself, the machine sees the same register operations minus what the bus answers from the
// kernel's files, and everything else is refused and logged.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "host/driver_entry.h"
#include "host/hardware_adapter.h"
#include "host/hardware_port_bus.h"
#include "host/io_manager.h"
#include "protocol/ioctl.h"
#include "sim/board_catalogue.h"
#include "sim/machine.h"
#include "tests/driver/recording_port_bus.h"
#include "tests/driver/simulated_sysfs.h"

namespace {

struct Exercised {
    int32_t loadStatus = 0;
    std::vector<std::string> replies;  // status and output of each request
    std::vector<sim::PortAccess> driver;
    std::vector<sim::PortAccess> machine;
    std::vector<std::string> violations;
};

// Loads the driver on `board` and sends every defined request once (and a window read outside
// the window), directly on the machine or through the hardware bus over its files.
Exercised Exercise(const std::string& board, bool throughHardwareBus) {
    sim::SteppedClock clock;
    std::unique_ptr<sim::Machine> machine = sim::Machine::Create(board, clock);
    kest_test::SimulatedSysfs files(*machine);
    host::HardwarePortBus hardware(files, files.AdapterSlot(), files.Window(),
                                   host::WindowPath::resourceFile, [](const std::string&) {});
    kest_test::RecordingPortBus recorder(throughHardwareBus ? static_cast<PortBus&>(hardware)
                                                            : *machine);
    recorder.Start();
    machine->SetTraceEnabled(true);
    host::AttachPortBus(&recorder);
    Exercised run;
    run.loadStatus = host::LoadDriver(host::KestatiDriverEntry());
    int32_t status = 0;
    const int handle = run.loadStatus == 0 ? host::OpenDevice(KEST_USER_PATH, &status) : -1;
    std::vector<std::pair<uint32_t, uint32_t>> requests;
    for (uint32_t function = 0x125; function <= 0x152; ++function) {
        requests.push_back({KestControlCode(function), 0x0C});
    }
    requests.push_back({IOCTL_READ_IO_REG, 0x1000});
    for (const auto& [code, value] : requests) {
        if (handle < 0) {
            break;
        }
        uint8_t out[64] = {};
        uint32_t information = 0;
        const int32_t result =
            host::DeviceControl(handle, code, &value, 4, out, sizeof(out), &information);
        char line[32];
        std::snprintf(line, sizeof(line), "%08x %08x:", static_cast<uint32_t>(result), code);
        run.replies.push_back(line + std::string(out, out + information));
    }
    if (handle >= 0) {
        host::CloseDevice(handle);
    }
    host::UnloadDriver();
    host::AttachPortBus(nullptr);
    run.driver = recorder.Take();
    run.machine = machine->TakeTrace();
    run.violations = machine->Violations();
    return run;
}

// The machine's trace as register operations ("cfg 0000:01:00.0 14 -> fe9f0001", window accesses
// as the machine describes them). Dropped: configuration accesses to functions that have no files
// (nothing reaches a function the kernel does not list) and BAR0 sizing, both of which the
// hardware bus answers without the machine.
std::vector<std::string> RegisterOperations(const std::vector<sim::PortAccess>& trace,
                                            const std::set<std::string>& functions) {
    std::vector<std::string> ops;
    uint32_t address = 0;
    std::set<std::string> sizing;
    for (const sim::PortAccess& a : trace) {
        if (a.port == 0xCF8) {
            address = a.value;
            continue;
        }
        if (a.port != 0xCFC) {
            ops.push_back(sim::Describe(a));
            continue;
        }
        const std::string slot =
            host::PciSlotName((address >> 16) & 0xFF, (address >> 11) & 0x1F, (address >> 8) & 7);
        const uint32_t reg = address & 0xFC;
        if (functions.count(slot) == 0) {
            continue;
        }
        if (reg == 0x10 && (a.write || sizing.count(slot) != 0)) {
            if (a.write) {
                if (a.value == 0xFFFFFFFF) {
                    sizing.insert(slot);
                } else {
                    sizing.erase(slot);
                }
            }
            continue;
        }
        char line[64];
        std::snprintf(line, sizeof(line), "cfg %s %02x %s %08x", slot.c_str(), reg,
                      a.write ? "<-" : "->", a.value);
        ops.push_back(line);
    }
    return ops;
}

TEST(HardwarePortBus, EveryBoardSeesTheSameRequestsThroughTheKernelsFiles) {
    for (std::string_view name : sim::BoardNames()) {
        const std::string board(name);
        SCOPED_TRACE(board);
        const Exercised direct = Exercise(board, false);
        const Exercised hardware = Exercise(board, true);
        EXPECT_EQ(hardware.loadStatus, direct.loadStatus);
        EXPECT_EQ(hardware.replies, direct.replies);
        EXPECT_EQ(hardware.driver, direct.driver);  // same accesses, same values read
        sim::SteppedClock clock;
        std::unique_ptr<sim::Machine> machine = sim::Machine::Create(board, clock);
        kest_test::SimulatedSysfs files(*machine);
        const std::vector<std::string> listed = files.List("bus/pci/devices");
        const std::set<std::string> functions(listed.begin(), listed.end());
        EXPECT_EQ(RegisterOperations(hardware.machine, functions),
                  RegisterOperations(direct.machine, functions));
        EXPECT_EQ(hardware.violations, direct.violations);
        for (const sim::PortAccess& a : hardware.machine) {
            EXPECT_FALSE(a.write && a.port == 0xCFC) << sim::Describe(a);  // no config write
        }
    }
}

// The bus over a 9800 PRO's files, keeping what it logs.
class HardwareBusTest : public ::testing::Test {
protected:
    HardwareBusTest()
        : m_machine(sim::Machine::Create("9800pro", m_clock)),
          m_files(*m_machine),
          m_bus(m_files, m_files.AdapterSlot(), m_files.Window(), host::WindowPath::resourceFile,
                [this](const std::string& line) { m_log.push_back(line); }) {
        m_machine->SetTraceEnabled(true);
    }

    // One access with the configuration address latched first; a write answers 0.
    struct Access {
        uint32_t address;
        bool write;
        int width;
        uint32_t port;
        uint32_t value;  // written, or the answer a read must get
    };
    uint32_t Make(const Access& a) {
        m_bus.WritePort32(0xCF8, a.address);
        if (a.write) {
            a.width == 8 ? m_bus.WritePort8(a.port, static_cast<uint8_t>(a.value))
                         : m_bus.WritePort32(a.port, a.value);
            return 0;
        }
        return a.width == 8 ? m_bus.ReadPort8(a.port) : m_bus.ReadPort32(a.port);
    }

    static constexpr uint32_t kAdapter = 0x80010000;  // bus 1, device 0
    sim::SteppedClock m_clock;
    std::unique_ptr<sim::Machine> m_machine;
    kest_test::SimulatedSysfs m_files;
    host::HardwarePortBus m_bus;
    std::vector<std::string> m_log;
};

TEST_F(HardwareBusTest, BarSizingIsAnsweredFromTheResourceFileWithoutAConfigurationWrite) {
    const uint32_t bar0 = kAdapter | 0x10;
    const uint32_t base = Make({bar0, false, 32, 0xCFC, 0});
    Make({bar0, true, 32, 0xCFC, 0xFFFFFFFF});
    EXPECT_EQ(Make({bar0, false, 32, 0xCFC, 0}), 0xF0000008u);  // 256 MiB, prefetchable
    Make({bar0, true, 32, 0xCFC, base & 0xFFFFFFF0});
    EXPECT_EQ(Make({bar0, false, 32, 0xCFC, 0}), base);
    for (const sim::PortAccess& a : m_machine->TakeTrace()) {
        EXPECT_FALSE(a.write && a.port == 0xCFC) << sim::Describe(a);
    }
    EXPECT_EQ(m_log, std::vector<std::string>());
}

TEST_F(HardwareBusTest, ConfigurationReadsOfNothingAnswerAllOnes) {
    const Access rows[] = {
        {kAdapter, false, 32, 0xCFC, 0x4E481002},          // the adapter's ids
        {kAdapter, false, 8, 0xCFE, 0x48},                 // a byte of them
        {kAdapter & ~0x80000000u, false, 32, 0xCFC, ~0u},  // enable bit clear
        {kAdapter | 0x100, false, 32, 0xCFC, ~0u},         // function 1 does not exist
        {0x80000000 | 7 << 11, false, 32, 0xCFC, ~0u},     // nor does device 7 on bus 0
        {kAdapter, false, 32, 0xCF8, kAdapter},            // the latch reads back
    };
    for (const Access& row : rows) {
        EXPECT_EQ(Make(row), row.value) << std::hex << row.address << " " << row.port;
    }
    EXPECT_EQ(m_log, std::vector<std::string>());
}

TEST_F(HardwareBusTest, EveryOtherAccessIsRefusedOnceAndNeverMade) {
    const std::string config = "kestatid: refused configuration write of ";
    const std::string window = " outside the adapter's I/O window 0xC000-0xC0FF";
    const struct Row {
        Access access;
        std::string log;  // empty: nothing more logged
    } rows[] = {
        {{kAdapter | 4, true, 32, 0xCFC, 7},
         config + "0x00000007 to register 0x04 of 0000:01:00.0"},
        {{kAdapter | 0x14, true, 32, 0xCFC, 0xD001},
         config + "0x0000D001 to register 0x14 of 0000:01:00.0"},
        {{kAdapter | 0x10, true, 32, 0xCFC, 0xFFFFFFFF}, ""},  // sizing starts
        {{kAdapter | 0x10, true, 32, 0xCFC, 0xE0000000},       // but the base moves
         config + "0xE0000000 to register 0x10 of 0000:01:00.0"},
        {{kAdapter | 0x10, true, 32, 0xCFC, 0xE0000000}, ""},  // logged once
        {{kAdapter, true, 8, 0xCFD, 1}, "kestatid: refused write of port 0xCFD" + window},
        {{kAdapter, false, 32, 0x80, ~0u}, "kestatid: refused read of port 0x80" + window},
        {{kAdapter, false, 8, 0x3DA, 0xFF}, "kestatid: refused read of port 0x3DA" + window},
        {{kAdapter, false, 32, 0xC0FE, ~0u}, "kestatid: refused read of port 0xC0FE" + window},
        {{kAdapter, true, 8, 0x3C0, 0x20}, "kestatid: refused write of port 0x3C0" + window},
        {{kAdapter, true, 8, 0x3C0, 0x20}, ""},
    };
    for (const Row& row : rows) {
        m_log.clear();
        const uint32_t answer = Make(row.access);
        EXPECT_EQ(answer, row.access.write ? 0 : row.access.value) << row.log;
        EXPECT_EQ(m_log, row.log.empty() ? std::vector<std::string>() : std::vector{row.log});
        EXPECT_EQ(m_machine->TakeTrace(), std::vector<sim::PortAccess>()) << row.log;
    }
}

TEST(HardwareAdapterSearch, EachBoardIsFoundOrRefusedWithWhatWasFound) {
    struct Row {
        const char* board;
        const char* found;  // the slot, or the start of the refusal
    } rows[] = {
        {"9800pro", "0000:01:00.0"},
        {"9200", "0000:01:00.0"},
        {"nochip", "0000:01:00.0"},
        {"unsupported", "kestatid: the display adapter 0000:01:00.0 (1002:4e46) is not one"},
        {"twodisplays",
         "kestatid: found 2 display adapters: 0000:01:00.0 (1002:4e44), 0000:02:03.0 (1002:5159)"},
        {"nodisplay", "kestatid: no display adapter found in /sys/bus/pci/devices"},
    };
    for (const Row& row : rows) {
        sim::SteppedClock clock;
        std::unique_ptr<sim::Machine> machine = sim::Machine::Create(row.board, clock);
        kest_test::SimulatedSysfs files(*machine);
        machine->SetTraceEnabled(true);
        host::HardwareAdapter adapter;
        std::string error;
        const bool found = host::FindHardwareAdapter(files, "/sys", true, &adapter, &error);
        EXPECT_EQ(found ? adapter.slot : error.substr(0, std::string(row.found).size()), row.found)
            << row.board;
        for (const sim::PortAccess& a : machine->TakeTrace()) {
            EXPECT_FALSE(a.write && a.port != 0xCF8) << row.board << " " << sim::Describe(a);
        }
    }
}

}  // namespace
