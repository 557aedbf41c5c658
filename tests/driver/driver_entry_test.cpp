// Loading and unloading the driver, and the adapter scan it and every request run.
#include <gtest/gtest.h>

#include "driver/adapter.h"
#include "driver/platform/kernel.h"
#include "host/kernel_state.h"
#include "sim/board_catalogue.h"
#include "tests/driver/driver_fixture.h"

namespace kest_test {
namespace {

constexpr uint32_t kInvalidDeviceRequest = 0xC0000010;

class DriverEntryTest : public DriverTest {};

bool DeviceOpens() {
    int32_t status = 0;
    const int handle = host::OpenDevice(KEST_USER_PATH, &status);
    if (handle < 0) {
        return false;
    }
    host::CloseDevice(handle);
    return true;
}

TEST_F(DriverEntryTest, LoadStartsTheChipThenWritesThePllStartUpValue) {
    m_machine = sim::Machine::Create("9800pro", m_clock);
    m_machine->SetTraceEnabled(true);
    host::AttachPortBus(m_machine.get());
    m_loadStatus = host::LoadDriver(host::KestatiDriverEntry());
    ASSERT_EQ(m_loadStatus, 0);
    EXPECT_TRUE(m_machine->ChipStarted());
    EXPECT_EQ(m_machine->PllRegister(0x0E), 0x0400BC00u);
    EXPECT_EQ(m_machine->PllIndex(), 0x8E);
    // The PLL write is the last thing the load does, after the chip's start-up.
    const std::vector<std::string> trace = PortTrace();
    ASSERT_GE(trace.size(), 2u);
    const uint32_t io = IoBase();
    EXPECT_EQ(std::vector<std::string>(trace.end() - 2, trace.end()),
              (std::vector<std::string>{"out8 " + Hex(io + 8) + " 8e",
                                        "out32 " + Hex(io + 0xC) + " 400bc00"}));
}

TEST_F(DriverEntryTest, LoadWithoutAnIoWindowTouchesNoPortOutsideConfigurationSpace) {
    m_machine = sim::Machine::Create("9800pro", m_clock);
    m_machine->SetIoBarAllOnes(true);
    m_machine->SetTraceEnabled(true);
    host::AttachPortBus(m_machine.get());
    m_loadStatus = host::LoadDriver(host::KestatiDriverEntry());
    // The adapter is a supported one, so the driver loads; with no window it starts nothing.
    EXPECT_EQ(m_loadStatus, 0);
    for (const sim::PortAccess& access : m_machine->TakeTrace()) {
        EXPECT_TRUE(access.port == 0xCF8 || access.port == 0xCFC) << sim::Describe(access);
    }
    EXPECT_EQ(m_machine->PllRegister(0x0E), 0x04009C00u);  // still the power-on value
    EXPECT_FALSE(m_machine->ChipStarted());
}

TEST_F(DriverEntryTest, DeviceIsAnUnknownTypeBufferedAndShared) {
    Load("9600pro");
    ASSERT_EQ(m_loadStatus, 0);
    const DEVICE_OBJECT* device = host::Kernel().driver.DeviceObject;
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->DeviceType, static_cast<ULONG>(FILE_DEVICE_UNKNOWN));
    EXPECT_EQ(device->Characteristics, 0u);
    EXPECT_EQ(device->Flags & DO_BUFFERED_IO, static_cast<ULONG>(DO_BUFFERED_IO));
    EXPECT_EQ(device->Flags & DO_EXCLUSIVE, 0u);
    EXPECT_EQ(device->NextDevice, nullptr);
}

TEST_F(DriverEntryTest, NothingIsLeftBehindByUnloadOrByAFailedLoad) {
    Load("9700pro");
    ASSERT_EQ(m_loadStatus, 0);
    host::CloseDevice(m_handle);
    m_handle = -1;
    host::UnloadDriver();
    EXPECT_EQ(host::ObjectsLeftBehind(), 0);
    host::AttachPortBus(nullptr);

    Load("unsupported");
    EXPECT_EQ(static_cast<uint32_t>(m_loadStatus), kInvalidDeviceRequest);
    EXPECT_EQ(host::ObjectsLeftBehind(), 0);
    host::AttachPortBus(nullptr);

    m_machine = sim::Machine::Create("9700pro", m_clock);
    host::AttachPortBus(m_machine.get());
    host::InjectCreateLinkFailure(static_cast<int32_t>(0xC0000035));
    EXPECT_EQ(static_cast<uint32_t>(host::LoadDriver(host::KestatiDriverEntry())), 0xC0000035u);
    EXPECT_EQ(host::ObjectsLeftBehind(), 0);
}

TEST_F(DriverEntryTest, DeviceOpensUnderEitherCaseAndMoreThanOnce) {
    Load("9700pro");
    int32_t status = 0;
    const int second = host::OpenDevice("\\\\.\\KESTATI", &status);
    EXPECT_GE(second, 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(host::OpenHandleCount(), 2);
    EXPECT_EQ(host::CloseDevice(second), 0);
    EXPECT_LT(host::OpenDevice("\\\\.\\kestat", &status), 0);
    EXPECT_EQ(static_cast<uint32_t>(status), 0xC0000034u);
}

TEST_F(DriverEntryTest, UnloadRemovesTheDevice) {
    Load("9700pro");
    host::CloseDevice(m_handle);
    m_handle = -1;
    host::UnloadDriver();
    EXPECT_FALSE(DeviceOpens());
    EXPECT_FALSE(host::DriverLoaded());
}

TEST_F(DriverEntryTest, UnsupportedOrMissingAdapterRefusesToLoadAndLeavesNothing) {
    for (const char* board : {"unsupported", "nodisplay"}) {
        SCOPED_TRACE(board);
        Load(board);
        EXPECT_EQ(static_cast<uint32_t>(m_loadStatus), kInvalidDeviceRequest);
        EXPECT_FALSE(host::DriverLoaded());
        EXPECT_FALSE(DeviceOpens());
        // The chip is never touched when the adapter is not served.
        EXPECT_TRUE(m_machine->TakeI2cLog().empty());
        host::AttachPortBus(nullptr);
    }
}

TEST_F(DriverEntryTest, DeviceCreationFailureIsReturnedBeforeAnythingElseHappens) {
    m_machine = sim::Machine::Create("9800pro", m_clock);
    host::AttachPortBus(m_machine.get());
    m_machine->SetTraceEnabled(true);
    host::InjectCreateDeviceFailure(static_cast<int32_t>(0xC000009A));
    EXPECT_EQ(static_cast<uint32_t>(host::LoadDriver(host::KestatiDriverEntry())), 0xC000009Au);
    EXPECT_TRUE(m_machine->TakeTrace().empty());
    EXPECT_FALSE(DeviceOpens());
}

TEST_F(DriverEntryTest, LinkFailureDeletesTheDeviceButStillStartsTheChip) {
    m_machine = sim::Machine::Create("9800pro", m_clock);
    host::AttachPortBus(m_machine.get());
    host::InjectCreateLinkFailure(static_cast<int32_t>(0xC0000035));
    EXPECT_EQ(static_cast<uint32_t>(host::LoadDriver(host::KestatiDriverEntry())), 0xC0000035u);
    EXPECT_FALSE(host::DriverLoaded());
    EXPECT_FALSE(DeviceOpens());
    EXPECT_TRUE(m_machine->ChipStarted());
}

TEST(AdapterScan, AgpStatusDecoding) {
    struct Row {
        ULONG status;
        ULONG rate;
        ULONG version;
    };
    const Row rows[] = {{0x0F, 0, 3}, {0x0B, 8, 3}, {0x09, 4, 3}, {0x07, 4, 2},      {0x05, 0, 2},
                        {0x03, 2, 2}, {0x01, 1, 2}, {0x00, 0, 2}, {0x1F000207, 4, 2}};
    for (const Row& row : rows) {
        ULONG rate = 99;
        ULONG version = 99;
        DecodeAgpStatus(row.status, &rate, &version);
        EXPECT_EQ(rate, row.rate) << std::hex << row.status;
        EXPECT_EQ(version, row.version) << std::hex << row.status;
    }
}

class AdapterScanTest : public DriverTest {
protected:
    AdapterInfo ScanOn(const char* board) {
        m_machine = sim::Machine::Create(board, m_clock);
        host::AttachPortBus(m_machine.get());
        m_machine->SetTraceEnabled(true);
        // The scan runs here without the driver's entry, which would otherwise set up its lock.
        KeInitializeMutex(&g_AdapterMutex, 0);
        return ScanAdapter();
    }
    int ClassReads() {
        int reads = 0;
        bool classAddress = false;
        for (const sim::PortAccess& access : m_machine->TakeTrace()) {
            if (access.write && access.port == 0xCF8) {
                classAddress = (access.value & 0xFC) == 0x08;
            } else if (!access.write && access.port == 0xCFC && classAddress) {
                ++reads;
            }
        }
        return reads;
    }
};

TEST_F(AdapterScanTest, EveryCatalogueBoardIsFoundWithItsFields) {
    for (std::string_view name : sim::BoardNames()) {
        const sim::BoardSpec& board = *sim::FindBoard(name);
        if (!board.hasAdapter || board.name == std::string("twodisplays") ||
            board.name == std::string("bus0")) {
            continue;
        }
        SCOPED_TRACE(board.name);
        const AdapterInfo info = ScanOn(board.name);
        EXPECT_EQ(info.pciId, board.pciId);
        EXPECT_EQ(info.subsystemId, board.subsystemId);
        EXPECT_EQ(info.apertureSizeMB, board.apertureSizeMiB);
        EXPECT_EQ(info.apertureBase, board.bar0 & 0xFFFFFFF0);
        EXPECT_EQ(info.ioBase, board.bar1 & 0xFFFFFFFC);
        ULONG rate = 0;
        ULONG version = 0;
        DecodeAgpStatus(board.agpStatus, &rate, &version);
        EXPECT_EQ(info.agpRate, rate);
        EXPECT_EQ(info.agpVersion, version);
        // Sizing leaves BAR0 holding its base again.
        EXPECT_EQ(m_machine->PciConfig(board.bus, board.device, 0, 0x10) & 0xFFFFFFF0,
                  board.bar0 & 0xFFFFFFF0);
        // Devices are probed in order up to the adapter, one class read each.
        EXPECT_EQ(ClassReads(), board.bus * 32 + board.device + 1);
    }
}

TEST_F(AdapterScanTest, ApertureSizeComesFromTheSizingReadBack) {
    for (std::string_view name : sim::BoardNames()) {
        const sim::BoardSpec& board = *sim::FindBoard(name);
        if (!board.hasAdapter || name == "twodisplays" || name == "bus0") {
            continue;
        }
        if (board.apertureSizeMiB == 128) {
            const AdapterInfo info = ScanOn(board.name);
            EXPECT_EQ(info.apertureSizeMB, 128u);
        } else if (board.apertureSizeMiB == 256) {
            const AdapterInfo info = ScanOn(board.name);
            EXPECT_EQ(info.apertureSizeMB, 256u);
        }
    }
}

TEST_F(AdapterScanTest, ConfigurationCyclesAreExactlyTheScanSteps) {
    const sim::BoardSpec& board = *sim::FindBoard("bus0");
    ASSERT_EQ(board.bus, 0);
    ASSERT_EQ(board.device, 2);
    ScanOn("bus0");
    auto at = [](int device, uint32_t offset) {
        return "out32 cf8 " + Hex(0x80000000u | (static_cast<uint32_t>(device) << 11) | offset);
    };
    // Devices in front of the adapter: the class register only.
    std::vector<std::string> expected = {at(0, 0x08), "in32 cfc", at(1, 0x08), "in32 cfc"};
    const std::vector<std::string> adapter = {
        at(2, 0x08), "in32 cfc",                                   // class: a display controller
        at(2, 0x00), "in32 cfc",                                   // id
        at(2, 0x10), "in32 cfc",                                   // aperture base
        at(2, 0x10), "out32 cfc ffffffff",                         // sizing
        at(2, 0x10), "in32 cfc",                                   // size mask
        at(2, 0x10), "out32 cfc " + Hex(board.bar0 & 0xFFFFFFF0),  // base back, flags cleared
        at(2, 0x14), "in32 cfc",                                   // I/O window
        at(2, 0x5C), "in32 cfc",                                   // AGP status
        at(2, 0x2C), "in32 cfc",                                   // subsystem id
    };
    expected.insert(expected.end(), adapter.begin(), adapter.end());
    EXPECT_EQ(PortLines(m_machine->TakeTrace()), expected);
}

TEST_F(AdapterScanTest, LowerBusAndDeviceWinsAndAbsenceWalksTheWholeBus) {
    const AdapterInfo bus0 = ScanOn("bus0");
    EXPECT_EQ(bus0.pciId, sim::FindBoard("bus0")->pciId);
    EXPECT_EQ(ClassReads(), sim::FindBoard("bus0")->device + 1);

    const sim::BoardSpec& two = *sim::FindBoard("twodisplays");
    const AdapterInfo first = ScanOn("twodisplays");
    uint32_t lowest = two.bus * 32u + two.device;
    uint32_t expectedId = two.pciId;
    for (const sim::PciDeviceSpec& other : two.otherDevices) {
        if ((other.classRev >> 24) == 0x03 && other.bus * 32u + other.device < lowest) {
            lowest = other.bus * 32u + other.device;
            expectedId = other.pciId;
        }
    }
    EXPECT_EQ(first.pciId, expectedId);

    const AdapterInfo none = ScanOn("nodisplay");
    EXPECT_EQ(none.pciId, 0xFFFFFFFFu);
    EXPECT_EQ(none.ioBase, 0xFFFFFFFFu);
    EXPECT_EQ(none.apertureSizeMB, 0xFFFFFFFFu);
    EXPECT_EQ(ClassReads(), 256 * 32);
}

}  // namespace
}  // namespace kest_test
