#include <gtest/gtest.h>

#include <ostream>

#include <cmath>

#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

using sim::BoardSpec;
using sim::FindBoard;

// Each supported board's identity and the stock clocks the clock panel expects on it.
struct BoardRow {
    const char* name;
    uint32_t pciId;
    uint32_t subsystemId;
    int engineMhz;
    int memoryMhz;
    uint32_t apertureReadBack;
};

void PrintTo(const BoardRow& row, std::ostream* os) {
    *os << row.name;
}

class BoardIdentity : public ::testing::TestWithParam<BoardRow> {};

TEST_P(BoardIdentity, IdsClocksAndApertureMatchTheBoard) {
    const BoardRow& row = GetParam();
    SimFixture f(row.name);
    ASSERT_NE(f.machine, nullptr);
    int bus = -1;
    int device = -1;
    ASSERT_TRUE(FindFirstDisplay(*f.machine, bus, device));
    EXPECT_EQ(ConfigRead(*f.machine, bus, device, 0, 0x00), row.pciId);
    EXPECT_EQ(ConfigRead(*f.machine, bus, device, 0, 0x2C), row.subsystemId);
    // Within half a divider step (54 / 22 MHz at the finest post factor).
    EXPECT_NEAR(f.machine->EngineMhz(), row.engineMhz, 1.23);
    EXPECT_NEAR(f.machine->MemoryMhz(), row.memoryMhz, 1.23);
    const uint32_t base = ConfigRead(*f.machine, bus, device, 0, 0x10);
    ConfigWrite(*f.machine, bus, device, 0, 0x10, 0xFFFFFFFF);
    EXPECT_EQ(ConfigRead(*f.machine, bus, device, 0, 0x10), row.apertureReadBack);
    ConfigWrite(*f.machine, bus, device, 0, 0x10, base & 0xFFFFFFF0);
    EXPECT_EQ(ConfigRead(*f.machine, bus, device, 0, 0x10), base);
    EXPECT_EQ(f.machine->Violations(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, BoardIdentity,
    ::testing::Values(BoardRow{"9600pro-a", 0x41501002, 0x01021D5A, 400, 275, 0xF8000008},
                      BoardRow{"9600pro", 0x41501002, 0x01031D5A, 400, 300, 0xF8000008},
                      BoardRow{"9500pro-f2", 0x4E441002, 0x00F21D5A, 277, 271, 0xF8000008},
                      BoardRow{"9700pro", 0x4E441002, 0x00021002, 325, 311, 0xF8000008},
                      BoardRow{"9700pro-12", 0x4E441002, 0x00121D5A, 325, 311, 0xF8000008},
                      BoardRow{"9500pro", 0x4E451002, 0x00031D5A, 277, 271, 0xF8000008},
                      BoardRow{"9800pro", 0x4E481002, 0x00021002, 380, 340, 0xF0000008},
                      BoardRow{"9800pro-b", 0x4E481002, 0x20021787, 380, 340, 0xF0000008},
                      BoardRow{"9200", 0x59611002, 0x00041D5A, 250, 200, 0xFC000008}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            if (c == '-') {
                c = '_';
            }
        }
        return "board_" + name;
    });

TEST(Catalogue, NamesAreUniqueAndFindable) {
    const auto names = sim::BoardNames();
    EXPECT_EQ(names.size(), 14u);
    for (std::string_view name : names) {
        const BoardSpec* board = FindBoard(name);
        ASSERT_NE(board, nullptr) << name;
        EXPECT_EQ(board->name, name);
    }
    EXPECT_EQ(FindBoard("9800"), nullptr);
    sim::SteppedClock clock;
    EXPECT_EQ(sim::Machine::Create("radeon", clock), nullptr);
}

TEST(Catalogue, PostFactorsDecodeAsTheSynthesiserDoes) {
    // Engine codes 1-4 are 1, 2, 4, 8; memory code 1 counts as 2; anything else is no clock.
    EXPECT_DOUBLE_EQ(sim::DecodeEngineMhz(0x00660B0B, 2), 0x66 * 54.0 / 22);
    EXPECT_DOUBLE_EQ(sim::DecodeEngineMhz(0x00660B0B, 4), 0x66 * 54.0 / 88);
    EXPECT_DOUBLE_EQ(sim::DecodeMemoryMhz(0x0000A30B, 1), sim::DecodeMemoryMhz(0x0000A30B, 2));
    EXPECT_DOUBLE_EQ(sim::DecodeMemoryMhz(0x0000A30B, 3), 0xA3 * 54.0 / 44);
    EXPECT_EQ(sim::DecodeEngineMhz(0x00660B0B, 0), 0.0);
    EXPECT_EQ(sim::DecodeEngineMhz(0x00660B0B, 5), 0.0);
    EXPECT_EQ(sim::DecodeEngineMhz(0x00660B00, 2), 0.0);  // reference divider 0
}

// Which display controller the scan reaches first, layout by layout.
struct LayoutRow {
    const char* name;
    bool found;
    int bus;
    int device;
    uint32_t pciId;
};

void PrintTo(const LayoutRow& row, std::ostream* os) {
    *os << row.name;
}

class ScanLayout : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(ScanLayout, FirstDisplayControllerInBusDeviceOrder) {
    const LayoutRow& row = GetParam();
    SimFixture f(row.name);
    int bus = -1;
    int device = -1;
    ASSERT_EQ(FindFirstDisplay(*f.machine, bus, device), row.found);
    if (row.found) {
        EXPECT_EQ(bus, row.bus);
        EXPECT_EQ(device, row.device);
        EXPECT_EQ(ConfigRead(*f.machine, bus, device, 0, 0), row.pciId);
    }
    EXPECT_EQ(f.machine->Violations(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Layouts, ScanLayout,
                         ::testing::Values(LayoutRow{"9700pro", true, 1, 0, 0x4E441002},
                                           LayoutRow{"twodisplays", true, 1, 0, 0x4E441002},
                                           LayoutRow{"bus0", true, 0, 2, 0x41501002},
                                           LayoutRow{"unsupported", true, 1, 0, 0x4E461002},
                                           LayoutRow{"nodisplay", false, 0, 0, 0}));

class PciTest : public SimTest {};

TEST_F(PciTest, AbsentDevicesAndOtherFunctionsReadAllOnes) {
    EXPECT_EQ(ConfigRead(*machine, 0, 5, 0, 0x00), 0xFFFFFFFFu);
    EXPECT_EQ(ConfigRead(*machine, 7, 0, 0, 0x08), 0xFFFFFFFFu);
    EXPECT_EQ(ConfigRead(*machine, 1, 0, 1, 0x00), 0xFFFFFFFFu);
    EXPECT_EQ(ConfigRead(*machine, 0, 0, 0, 0x08) >> 24, 0x06u);  // the host bridge is there
    EXPECT_EQ(ConfigRead(*machine, 0, 1, 0, 0x18), 0x00010100u);  // AGP bridge: bus 1 behind
    EXPECT_EQ(ConfigRead(*machine, 0, 30, 0, 0x18), 0x00020200u);
    EXPECT_EQ(ConfigRead(*machine, 1, 0, 0, 0x5C), 0x1F000217u);
}

TEST_F(PciTest, DataAccessWithoutEnableBitReadsAllOnesAndIsRecorded) {
    machine->WritePort32(0xCF8, 0x00010000);
    EXPECT_EQ(machine->ReadPort32(0xCFC), 0xFFFFFFFFu);
    EXPECT_TRUE(AnyContains(TakeViolations(), "enable bit clear"));
}

TEST_F(PciTest, IoBarIsAnIoBarAndItsFaultReadsAllOnes) {
    EXPECT_EQ(ConfigRead(*machine, 1, 0, 0, 0x14), 0xC001u);
    machine->SetIoBarAllOnes(true);
    EXPECT_EQ(ConfigRead(*machine, 1, 0, 0, 0x14), 0xFFFFFFFFu);
    EXPECT_EQ(machine->PciConfig(1, 0, 0, 0x14), 0xFFFFFFFFu);
}

TEST_F(PciTest, RemovedAdapterVanishesFromConfigurationSpaceAndPorts) {
    machine->SetAdapterRemoved(true);
    EXPECT_EQ(ConfigRead(*machine, 1, 0, 0, 0x00), 0xFFFFFFFFu);
    EXPECT_EQ(ConfigRead(*machine, 1, 0, 0, 0x08), 0xFFFFFFFFu);
    EXPECT_EQ(machine->ReadPort32(0xC000 + 0x90), 0xFFFFFFFFu);
    int bus = 0;
    int device = 0;
    EXPECT_FALSE(FindFirstDisplay(*machine, bus, device));
    machine->SetAdapterRemoved(false);
    EXPECT_EQ(ConfigRead(*machine, 1, 0, 0, 0x00), 0x4E441002u);
}

TEST_F(PciTest, WritesOtherThanTheBarsAreRecordedAndIgnored) {
    ConfigWrite(*machine, 1, 0, 0, 0x2C, 0x12345678);
    EXPECT_EQ(ConfigRead(*machine, 1, 0, 0, 0x2C), 0x00021002u);
    ConfigWrite(*machine, 3, 0, 0, 0x10, 0xFFFFFFFF);
    const auto v = TakeViolations();
    EXPECT_TRUE(AnyContains(v, "read-only configuration register"));
    EXPECT_TRUE(AnyContains(v, "absent device"));
}

class PllTest : public SimTest {
protected:
    static constexpr uint32_t kPllIndex = 0xC008;
    static constexpr uint32_t kPllData = 0xC00C;
};

TEST_F(PllTest, WriteEnabledIndexStoresTheWordAndMovesTheClocks) {
    const uint32_t word = (machine->PllRegister(0x0A) & 0xFF000000) | 0x00900000 | 0x8000 | 11;
    machine->WritePort8(kPllIndex, 0x8A);
    machine->WritePort32(kPllData, word);
    EXPECT_EQ(machine->PllRegister(0x0A), word);
    EXPECT_EQ(machine->PllIndex(), 0x8A);
    EXPECT_NEAR(machine->EngineMhz(), 0x90 * 54.0 / 22, 1e-9);
    EXPECT_NEAR(machine->MemoryMhz(), 0x80 * 54.0 / 22, 1e-9);
    machine->WritePort8(kPllIndex, 0x0A);
    EXPECT_EQ(machine->ReadPort32(kPllData), word);
    EXPECT_EQ(machine->ReadPort8(kPllIndex), 0x0A);
}

TEST_F(PllTest, DataWriteWithWriteEnableClearIsDroppedAndRecorded) {
    const uint32_t before = machine->PllRegister(0x0A);
    machine->WritePort8(kPllIndex, 0x0A);
    machine->WritePort32(kPllData, 0x00FF0000);
    EXPECT_EQ(machine->PllRegister(0x0A), before);
    EXPECT_TRUE(AnyContains(TakeViolations(), "write enable clear"));
}

TEST_F(PllTest, InvalidPostCodesFaultHidesTheCodesOnly) {
    machine->WritePort8(kPllIndex, 0x0D);
    EXPECT_EQ(machine->ReadPort32(kPllData) & 7, 2u);
    machine->SetInvalidPostCodes(true);
    EXPECT_EQ(machine->ReadPort32(kPllData) & 7, 0u);
    machine->WritePort8(kPllIndex, 0x12);
    EXPECT_EQ(machine->ReadPort32(kPllData) & 7, 0u);
    EXPECT_EQ(machine->PllRegister(0x12) & 7, 2u);
}

TEST_F(PllTest, ReadsOfAnyWidthAnswerByteLanesWithoutComplaint) {
    machine->WritePort8(kPllIndex, 0x0A);
    const uint32_t word = machine->PllRegister(0x0A);
    EXPECT_EQ(machine->ReadPort32(kPllIndex), 0x0Au);
    EXPECT_EQ(machine->ReadPort8(kPllData + 2), (word >> 16) & 0xFF);
    EXPECT_EQ(machine->ReadPort8(0xC000), 0);
    EXPECT_EQ(machine->ReadPort32(0xC009), 0u);
    EXPECT_EQ(machine->ReadPort32(0xC0F0), 0u);
    EXPECT_EQ(machine->ReadPort32(0xCFD), 0xFFFFFFFFu);
}

TEST_F(PllTest, WrongWidthsAndUndecodedPortsAreRecorded) {
    machine->WritePort32(kPllIndex, 0x8A);
    machine->WritePort8(kPllData, 0x12);
    machine->WritePort8(0xC000, 0x12);
    EXPECT_EQ(machine->ReadPort32(0x80), 0xFFFFFFFFu);
    EXPECT_EQ(machine->ReadPort8(0x3F8), 0xFF);
    machine->WritePort8(0x80, 0x55);
    const auto v = TakeViolations();
    EXPECT_EQ(v.size(), 4u);
    EXPECT_TRUE(AnyContains(v, "8 bits wide"));
    EXPECT_TRUE(AnyContains(v, "nothing decodes"));
    EXPECT_EQ(machine->PllIndex(), 0);
}

TEST(TraceTest, RecordsEveryAccessOnlyWhileEnabled) {
    sim::SteppedClock clock;
    auto machine = sim::Machine::Create("9700pro", clock);
    machine->WritePort8(0xC008, 0x0A);
    machine->SetTraceEnabled(true);
    machine->WritePort8(0xC008, 0x0A);
    const uint32_t word = machine->ReadPort32(0xC00C);
    machine->SetTraceEnabled(false);
    machine->ReadPort32(0xC00C);
    const std::vector<sim::PortAccess> expected = {sim::Out8(0xC008, 0x0A),
                                                   sim::In32(0xC00C, word)};
    EXPECT_EQ(machine->TakeTrace(), expected);
    EXPECT_TRUE(machine->TakeTrace().empty());
    EXPECT_EQ(sim::Describe(sim::Out8(0xC008, 0x0A)), "out8 0xc008 <- 0x0a");
    EXPECT_EQ(sim::Describe(sim::In32(0xCFC, 0x4E441002)), "in32 0x0cfc -> 0x4e441002");
}

TEST(StateTest, StateLinesNameEveryQuantity) {
    sim::SteppedClock clock;
    auto machine = sim::Machine::Create("9800pro", clock);
    const auto lines = machine->StateLines();
    std::vector<std::string> keys;
    for (const auto& [key, value] : lines) {
        keys.push_back(key);
    }
    const std::vector<std::string> expected = {
        "engine_mhz", "memory_mhz", "fan_drive", "fan_rpm", "bank",  "pll_index",
        "monitoring", "beeper",     "fan1",      "in1",     "in2",   "in5",
        "in6",        "in7",        "in8",       "temp1",   "temp2", "temp3"};
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(lines[0].second, "380.45");
    EXPECT_EQ(lines[2].second, "255");
    EXPECT_EQ(lines[4].second, "0x0");
    EXPECT_EQ(lines[5].second, "0x00");
    EXPECT_EQ(lines[7].second, "off");
}

TEST(SensorNames, RoundTrip) {
    for (sim::Sensor s : sim::kAllSensors) {
        EXPECT_EQ(sim::SensorFromName(sim::SensorName(s)), s);
    }
    EXPECT_EQ(sim::SensorFromName("temp4"), std::nullopt);
    EXPECT_STREQ(sim::SensorName(sim::Sensor::in8), "in8");
}

}  // namespace
}  // namespace simtest
