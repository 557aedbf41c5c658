#include <gtest/gtest.h>

#include <ostream>

#include <set>

#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

using sim::Sensor;

class ChipTest : public SimTest {};

TEST_F(ChipTest, MeasurementsStayFrozenUntilMonitoringStarts) {
    clock.Advance(5000);
    EXPECT_FALSE(machine->ChipStarted());
    EXPECT_EQ(ReadChip(engine, 0x21), 0);
    EXPECT_EQ(ReadChip(engine, 0x28), 0xFF);
    Start();
    EXPECT_TRUE(machine->ChipStarted());
    EXPECT_NEAR(ReadChip(engine, 0x21), 2800 / 16, 1);
    EXPECT_NEAR(ReadChip(engine, 0x27), 40, 2);
}

TEST_F(ChipTest, StartUpLeavesTheStatedRegisterState) {
    Start();
    EXPECT_EQ(machine->Bank(), 4);
    EXPECT_EQ(machine->ChipRegister(0, 0x4E), 0x84);
    EXPECT_EQ(machine->ChipRegister(0, 0x4A), 0x01);
    EXPECT_EQ(machine->ChipRegister(0, 0x59), 0x30);
    EXPECT_EQ(machine->ChipRegister(0, 0x5D), 0x08);
    EXPECT_EQ(machine->ChipRegister(0, 0x57), 0x00);
    EXPECT_EQ(machine->ChipRegister(6, 0x50), 0xD0);
    EXPECT_EQ(machine->ChipRegister(6, 0x57), 0x2D);
    EXPECT_EQ(machine->ChipRegister(4, 0x54), 0x00);
    EXPECT_EQ(machine->ChipRegister(0, 0x47) & 0x30, 0x10);
    EXPECT_FALSE(machine->BeeperOn());
}

TEST_F(ChipTest, OnlyTheLowThreeBitsOf4ESelectTheBank) {
    ASSERT_EQ(WriteChip(engine, 0x4E, 0xF9), 0);
    EXPECT_EQ(machine->Bank(), 1);
    machine->SetChipRegister(1, 0x55, 0x3C);
    EXPECT_EQ(ReadChip(engine, 0x55), 0x3C);
}

TEST_F(ChipTest, ResetBitRestoresPowerOnAndStopsMonitoring) {
    Start();
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(WriteChip(engine, 0x5B, 0x20), 0);
    ASSERT_EQ(WriteChip(engine, 0x40, 0x80), 0);
    EXPECT_FALSE(machine->ChipStarted());
    EXPECT_EQ(machine->ChipRegister(0, 0x40), 0x00);
    EXPECT_EQ(machine->ChipRegister(0, 0x5B), 0xFF);
    EXPECT_EQ(machine->ChipRegister(0, 0x4E), 0x80);
    EXPECT_EQ(machine->ChipRegister(0, 0x58), 0x30);
}

TEST_F(ChipTest, ReadOnlyRegistersIgnoreWritesAndRecordThem) {
    Start();
    ASSERT_EQ(SelectBank(engine, 0), 0);
    EXPECT_EQ(WriteChip(engine, 0x58, 0x11), 0);  // acknowledged like any write
    EXPECT_EQ(WriteChip(engine, 0x21, 0x11), 0);
    EXPECT_EQ(machine->ChipRegister(0, 0x58), 0x30);
    const auto v = TakeViolations();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_TRUE(AnyContains(v, "read-only register bank-0 0x58"));
    EXPECT_TRUE(AnyContains(v, "read-only register 0x21"));
    EXPECT_EQ(ReadChip(engine, 0x60), -1);  // past the register file: not acknowledged
}

TEST_F(ChipTest, In8ReadsZeroUntilItsInputIsEnabled) {
    Start();
    ASSERT_EQ(SelectBank(engine, 5), 0);
    EXPECT_EQ(ReadChip(engine, 0x51), 0);
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x5D, 0xFE, 0x01), 0);
    ASSERT_EQ(SelectBank(engine, 5), 0);
    EXPECT_NEAR(ReadChip(engine, 0x51), 1504 / 16, 1);
    EXPECT_EQ(machine->Bank(), 5);
    EXPECT_EQ(machine->ChipRegister(0, 0x5D) & 1, 1);
}

// Fan count from a pinned speed and the divisor code held in 0x47 bits 5-4 and 0x5D bit 5.
struct FanRow {
    int rpm;
    uint8_t reg47;
    uint8_t reg5D;
    uint8_t count;
    int reportedRpm;
};

void PrintTo(const FanRow& row, std::ostream* os) {
    *os << row.rpm << " rpm";
}

class FanCount : public ::testing::TestWithParam<FanRow>, public SimFixture {};

TEST_P(FanCount, CountIsScaleOverSpeedTimesDivisor) {
    const FanRow& row = GetParam();
    Start();
    machine->SetChipRegister(0, 0x47, row.reg47);
    machine->SetChipRegister(0, 0x5D, row.reg5D);
    machine->PinSensor(Sensor::fan1, row.rpm);
    EXPECT_EQ(ReadChip(engine, 0x28), row.count);
    EXPECT_EQ(machine->SensorValue(Sensor::fan1), row.reportedRpm);
    EXPECT_EQ(machine->Violations(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Divisors, FanCount,
                         ::testing::Values(FanRow{2647, 0x10, 0x08, 255, 2647},
                                           FanRow{3000, 0x10, 0x08, 225, 3000},
                                           FanRow{5000, 0x10, 0x08, 135, 5000},
                                           FanRow{675000, 0x10, 0x08, 1, 675000},
                                           FanRow{2000, 0x10, 0x08, 255, 2647},  // too slow
                                           FanRow{0, 0x10, 0x08, 255, 2647},
                                           FanRow{6000, 0x00, 0x08, 225, 6000},   // divisor 1
                                           FanRow{6000, 0x20, 0x08, 56, 6026},    // divisor 4
                                           FanRow{3000, 0x00, 0x28, 28, 3013}));  // divisor 16

TEST_F(ChipTest, StalledFanCountsTheSlowestCount) {
    Start();
    const int running = static_cast<int>(ReadChip(engine, 0x28));
    EXPECT_NEAR(running, 1350000.0 / (machine->FanRpm() * 2), 1.0);
    machine->SetFanStalled(true);
    EXPECT_EQ(machine->FanRpm(), 0);
    EXPECT_EQ(ReadChip(engine, 0x28), 255);
    machine->SetFanStalled(false);
    clock.Advance(20000);
    EXPECT_EQ(ReadChip(engine, 0x28), running);
}

// A pinned sensor reads exactly its value converted to the register as the chip converts it.
struct PinRow {
    Sensor sensor;
    int value;
    int reg;
    int reported;
};

void PrintTo(const PinRow& row, std::ostream* os) {
    *os << sim::SensorName(row.sensor) << " = " << row.value;
}

class Pinned : public ::testing::TestWithParam<PinRow>, public SimFixture {};

TEST_P(Pinned, RegisterHoldsTheConvertedValue) {
    const PinRow& row = GetParam();
    Start();
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x5D, 0xFE, 0x01), 0);
    const int before = machine->SensorValue(row.sensor);
    machine->PinSensor(row.sensor, row.value);
    int64_t reg = -1;
    switch (row.sensor) {
        case Sensor::in7:
            SelectBank(engine, 5);
            reg = ReadChip(engine, 0x50);
            break;
        case Sensor::in8:
            SelectBank(engine, 5);
            reg = ReadChip(engine, 0x51);
            break;
        case Sensor::temp2:
            reg = I2cReadByte(engine, 0x92, 0);
            break;
        case Sensor::temp3:
            reg = I2cReadByte(engine, 0x90, 0);
            break;
        case Sensor::in1:
            reg = ReadChip(engine, 0x21);
            break;
        case Sensor::temp1:
            reg = ReadChip(engine, 0x27);
            break;
        default:
            FAIL();
    }
    EXPECT_EQ(reg, row.reg);
    EXPECT_EQ(machine->SensorValue(row.sensor), row.reported);
    machine->UnpinSensor(row.sensor);
    EXPECT_NEAR(machine->SensorValue(row.sensor), before, 16);
    EXPECT_EQ(machine->Violations(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Sensors, Pinned,
    ::testing::Values(PinRow{Sensor::in1, 2700, 168, 2688}, PinRow{Sensor::in7, 1500, 93, 1488},
                      PinRow{Sensor::in8, 1600, 100, 1600}, PinRow{Sensor::in7, 5000, 255, 4080},
                      PinRow{Sensor::temp1, -5, 0xFB, -5}, PinRow{Sensor::temp2, 69, 69, 69},
                      PinRow{Sensor::temp3, 75, 75, 75}));

// Stock clocks, full fan: every reading the monitor judges is inside the board's safe range.
struct SafeRow {
    const char* board;
    int memIoMin, memIoMax;      // IN1, inclusive
    int memCoreMin, memCoreMax;  // IN5, inclusive
    int vpuMin, vpuMax;          // IN7, exclusive
    int vpuTempBelow;
};

void PrintTo(const SafeRow& row, std::ostream* os) {
    *os << row.board;
}

class SafeDefaults : public ::testing::TestWithParam<SafeRow>, public SimFixture {
protected:
    SafeDefaults() : SimFixture(GetParam().board) {}
};

TEST_P(SafeDefaults, EveryReadingInsideItsRangeAndFanStopMakesTheVpuUnsafe) {
    const SafeRow& row = GetParam();
    Start();
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x5D, 0xFE, 0x01), 0);
    for (int minute = 0; minute < 15; ++minute) {
        clock.Advance(60000);
        const int memIo = machine->SensorValue(Sensor::in1);
        const int memCore = machine->SensorValue(Sensor::in5);
        const int vpu = machine->SensorValue(Sensor::in7);
        EXPECT_TRUE(memIo >= row.memIoMin && memIo <= row.memIoMax) << memIo;
        EXPECT_TRUE(memCore >= row.memCoreMin && memCore <= row.memCoreMax) << memCore;
        EXPECT_TRUE(vpu > row.vpuMin && vpu < row.vpuMax) << vpu;
        EXPECT_GE(machine->SensorValue(Sensor::fan1), 3000);
        for (Sensor t : {Sensor::temp1, Sensor::temp2}) {
            EXPECT_GE(machine->SensorValue(t), 16);
            EXPECT_LT(machine->SensorValue(t), 70);
        }
        EXPECT_GE(machine->SensorValue(Sensor::temp3), 16);
        EXPECT_LT(machine->SensorValue(Sensor::temp3), row.vpuTempBelow);
    }
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(WriteChip(engine, 0x5B, 0), 0);
    clock.Advance(600000);
    EXPECT_GT(machine->SensorValue(Sensor::temp3), row.vpuTempBelow);
    EXPECT_LT(machine->SensorValue(Sensor::fan1), 3000);
    EXPECT_EQ(machine->Violations(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Boards, SafeDefaults,
    ::testing::Values(SafeRow{"9600pro-a", 2400, 3000, 2400, 3000, 1050, 1550, 70},
                      SafeRow{"9600pro", 2400, 3000, 2400, 3000, 1050, 1550, 70},
                      SafeRow{"9500pro-f2", 2600, 3000, 2800, 3100, 1250, 1750, 70},
                      SafeRow{"9700pro", 2600, 3000, 2800, 3100, 1250, 1750, 70},
                      SafeRow{"9700pro-12", 2375, 2725, 2375, 2725, 1250, 1750, 70},
                      SafeRow{"9500pro", 2600, 3000, 2800, 3100, 1250, 1750, 70},
                      SafeRow{"9800pro", 2450, 2850, 2700, 3100, 1500, 1900, 85},
                      SafeRow{"9800pro-b", 2600, 3000, 2500, 2900, 1500, 1900, 85},
                      SafeRow{"9200", 2375, 2725, 3000, 3300, 1250, 1950, 70}),
    [](const auto& info) { return "row" + std::to_string(info.index); });

class ThermalTest : public SimTest {
protected:
    void SetUp() override {
        Start();
        clock.Advance(600000);
    }
    int Vpu() { return machine->SensorValue(Sensor::temp3); }
    void WritePll0A(uint32_t word) {
        machine->WritePort8(0xC008, 0x8A);
        machine->WritePort32(0xC00C, word);
    }
};

TEST_F(ThermalTest, NothingMovesWhileTheClockStandsStill) {
    const int before = Vpu();
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(WriteChip(engine, 0x5B, 0), 0);
    EXPECT_EQ(Vpu(), before);
    EXPECT_GT(machine->FanRpm(), 5000);
}

TEST_F(ThermalTest, HigherEngineClockRunsHotterWithALag) {
    const int stock = Vpu();
    const uint32_t word = machine->PllRegister(0x0A);
    WritePll0A((word & 0xFF00FFFF) | (((word >> 16 & 0xFF) * 3 / 2) << 16));
    EXPECT_NEAR(machine->EngineMhz(), 325 * 1.5, 2);
    clock.Advance(5000);
    const int early = Vpu();
    clock.Advance(600000);
    const int settled = Vpu();
    EXPECT_GT(settled, stock + 5);
    EXPECT_GT(early, stock);
    EXPECT_LT(early, settled);
    WritePll0A(word);
    clock.Advance(600000);
    EXPECT_EQ(Vpu(), stock);
}

TEST_F(ThermalTest, LessFanRunsHotterMoreFanCooler) {
    const int full = Vpu();
    const int memFull = machine->SensorValue(Sensor::temp1);
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(WriteChip(engine, 0x5B, 60), 0);
    clock.Advance(1000);
    const int rpmSoon = machine->FanRpm();
    clock.Advance(600000);
    const int rpmSettled = machine->FanRpm();
    EXPECT_GT(rpmSoon, rpmSettled);  // the fan slows down gradually
    const int slow = Vpu();
    EXPECT_GT(slow, full);
    EXPECT_GT(machine->SensorValue(Sensor::temp1), memFull);
    ASSERT_EQ(WriteChip(engine, 0x5B, 255), 0);
    clock.Advance(600000);
    EXPECT_EQ(Vpu(), full);
}

TEST_F(ThermalTest, AmbientHeatAddsItsDegrees) {
    const int before = Vpu();
    machine->SetAmbientHeat(12);
    clock.Advance(20000);
    const int partway = Vpu();
    clock.Advance(600000);
    EXPECT_EQ(Vpu(), before + 12);
    EXPECT_GT(partway, before + 4);  // about 63 % after one time constant
    EXPECT_LT(partway, before + 10);
}

TEST_F(ThermalTest, VoltagesJitterByOneCountAroundNominal) {
    std::set<int> seen;
    for (int second = 0; second < 60; ++second) {
        clock.Advance(1000);
        seen.insert(machine->SensorValue(Sensor::in7));
    }
    EXPECT_GE(seen.size(), 2u);
    EXPECT_GE(*seen.begin(), 1504 - 16);
    EXPECT_LE(*seen.rbegin(), 1504 + 16);
}

class BeeperTest : public SimTest {
protected:
    void SetUp() override { Start(); }
    // The TEMP3 limit operation, as the driver runs it.
    void SetTemp3Limit(uint8_t limit) {
        const int64_t r = ReadChip(engine, 0x4A);
        ASSERT_GE(r, 0);
        const uint8_t address = static_cast<uint8_t>(((r & 0x70) | 0x480) >> 3);
        ASSERT_EQ(SelectBank(engine, 2), 0);
        ASSERT_EQ(I2cWriteByte(engine, address, 2, limit), 0);
        ASSERT_EQ(I2cWriteByte(engine, address, 1, 0x10), 0);
        ASSERT_EQ(I2cWriteByte(engine, address, 3, limit), 0);
        ASSERT_EQ(ReadModifyWrite(engine, 0x4D, 0x3F, 0x80), 0);
        ASSERT_EQ(SelectBank(engine, 0), 0);
        ASSERT_EQ(ReadModifyWrite(engine, 0x57, 0x5F, 0xA0), 0);
    }
    void AlarmsOff() {
        ASSERT_EQ(ReadModifyWrite(engine, 0x4D, 0xBF, 0), 0);
        ASSERT_EQ(SelectBank(engine, 0), 0);
        ASSERT_EQ(ReadModifyWrite(engine, 0x4D, 0x7F, 0x80), 0);
        ASSERT_EQ(WriteChip(engine, 0x56, 0), 0);
        ASSERT_EQ(WriteChip(engine, 0x57, 0), 0);
        ASSERT_EQ(SelectBank(engine, 4), 0);
        ASSERT_EQ(ReadModifyWrite(engine, 0x53, 0xDC, 0), 0);
    }
};

TEST_F(BeeperTest, SoundsForAnEnabledReadingBeyondItsLimitAndSaysWhich) {
    SetTemp3Limit(70);
    EXPECT_FALSE(machine->BeeperOn());
    machine->PinSensor(Sensor::temp3, 75);
    EXPECT_TRUE(machine->BeeperOn());
    EXPECT_EQ(machine->BeeperCauses(), std::vector<std::string>{"temp3 75 C above limit 70"});
    machine->PinSensor(Sensor::temp3, 70);
    EXPECT_FALSE(machine->BeeperOn());
    machine->PinSensor(Sensor::temp3, 75);
    AlarmsOff();
    EXPECT_FALSE(machine->BeeperOn());
    EXPECT_TRUE(machine->BeeperCauses().empty());
}

TEST_F(BeeperTest, AlarmsOnSoundsAtOnceAndAlarmsOffSilences) {
    // Every beep enabled: the unconnected fan 2 input sounds even with every reading normal.
    ASSERT_EQ(ReadModifyWrite(engine, 0x4D, 0xBF, 0), 0);
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x57, 0x6F, 0x90), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x4D, 0x7F, 0), 0);
    ASSERT_EQ(WriteChip(engine, 0x56, 0xFF), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x57, 0x40, 0xBF), 0);
    ASSERT_EQ(SelectBank(engine, 4), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x53, 0xDC, 0x23), 0);
    EXPECT_EQ(machine->BeeperCauses(),
              std::vector<std::string>{"fan2 count 255 at or above limit 255"});
    AlarmsOff();
    EXPECT_FALSE(machine->BeeperOn());
}

TEST_F(BeeperTest, StalledFanBeyondTheFanLimitSounds) {
    ASSERT_EQ(SelectBank(engine, 0), 0);
    ASSERT_EQ(WriteChip(engine, 0x3B, 241), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x4D, 0x3F, 0x80), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x57, 0x7F, 0x80), 0);
    ASSERT_EQ(ReadModifyWrite(engine, 0x56, 0xFF, 0x40), 0);
    EXPECT_FALSE(machine->BeeperOn());
    machine->SetFanStalled(true);
    EXPECT_EQ(machine->BeeperCauses(),
              std::vector<std::string>{"fan1 count 255 at or above limit 241"});
    const auto lines = machine->StateLines();
    EXPECT_EQ(lines[7], (std::pair<std::string, std::string>{"beeper", "on"}));
    EXPECT_EQ(lines[8].first, "beeper_causes");
}

}  // namespace
}  // namespace simtest
