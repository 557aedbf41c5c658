// The monitor chip's operations as sequences of I2C transactions on the bus, and the state they
// leave in the chip. "w 5e 4e *" matches a write of any value; where the value is computed from a
// read, the resulting register is checked afterwards.
#include <gtest/gtest.h>

#include "driver/monitorchip.h"
#include "tests/driver/driver_fixture.h"

namespace kest_test {
namespace {

void ExpectSequence(const std::vector<std::string>& actual,
                    const std::vector<std::string>& expected) {
    ASSERT_EQ(actual.size(), expected.size()) << ::testing::PrintToString(actual);
    for (size_t i = 0; i < expected.size(); ++i) {
        const std::string& want = expected[i];
        if (!want.empty() && want.back() == '*') {
            EXPECT_EQ(actual[i].substr(0, want.size() - 1), want.substr(0, want.size() - 1))
                << "step " << i;
        } else {
            EXPECT_EQ(actual[i], want) << "step " << i;
        }
    }
}

std::vector<std::string> Bank() {
    return {"r 5e 4e", "w 5e 4e *"};
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class ChipOperationTest : public DriverTest {
protected:
    void SetUp() override { Load("9800pro"); }
};

TEST_F(ChipOperationTest, StartUpRunsItsFiveStepsInOrder) {
    StartRecording();
    ASSERT_EQ(SendNothing(IOCTL_REINIT_MONITOR).status, 0u);
    const std::vector<std::string> expected = Join({
        {"r 5e 40", "w 5e 40 80"},
        {"r 5e 46", "w 5e 46 80", "r 5e 43", "w 5e 43 ff", "r 5e 44", "w 5e 44 ff", "r 5e 4a",
         "w 5e 4a 1"},
        Bank(),
        {"r 5e 50", "w 5e 50 d0", "r 5e 51", "w 5e 51 2", "r 5e 52", "w 5e 52 31", "r 5e 53",
         "w 5e 53 5f", "r 5e 54", "w 5e 54 32", "r 5e 55", "w 5e 55 2f", "r 5e 56", "w 5e 56 2e",
         "r 5e 57", "w 5e 57 2d"},
        Bank(),
        {"r 5e 40", "w 5e 40 1", "r 5e 4b", "w 5e 4b *", "r 5e 4e", "w 5e 4e 80"},
        // fan set-up
        Bank(),
        {"r 5e 4d", "w 5e 4d *", "r 5e 47", "w 5e 47 *"},
        Bank(),
        {"r 5e 5d", "w 5e 5d *"},
        // sensor set-up
        Bank(),
        {"r 5e 5d", "w 5e 5d 8", "r 5e 59", "w 5e 59 30", "r 5e 4a", "w 5e 4a *", "r 5e 52",
         "w 5e 52 0"},
        Bank(),
        {"r 5e 54", "w 5e 54 0", "r 5e 55", "w 5e 55 0", "r 5e 56", "w 5e 56 0"},
        // alarm set-up
        {"r 5e 4d", "w 5e 4d *"},
        Bank(),
        {"r 5e 56", "w 5e 56 0", "r 5e 57", "w 5e 57 0"},
        Bank(),
        {"r 5e 53", "w 5e 53 *"},
    });
    ExpectSequence(I2cTrace(), expected);
    EXPECT_TRUE(m_machine->ChipStarted());
    EXPECT_EQ(m_machine->ChipRegister(0, 0x4B) & ~0x43, 0);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x47) & 0x30, 0x10);  // fan divisor 2
    EXPECT_EQ(m_machine->ChipRegister(0, 0x4D) & 0xC3, 0x81);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x4A), 0x01);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x5D), 0x08);
    EXPECT_EQ(m_machine->ChipRegister(4, 0x53) & 0x03, 0x00);
    EXPECT_EQ(m_machine->Bank(), 4);
    for (uint8_t reg = 0x50; reg <= 0x57; ++reg) {
        static const uint8_t kBank6[] = {0xD0, 0x02, 0x31, 0x5F, 0x32, 0x2F, 0x2E, 0x2D};
        EXPECT_EQ(m_machine->ChipRegister(6, reg), kBank6[reg - 0x50]);
    }
}

TEST_F(ChipOperationTest, SensorSetupNamesTheRv350ByItsOwnValue) {
    host::UnloadDriver();
    host::AttachPortBus(nullptr);
    m_handle = -1;
    Load("9600pro");
    EXPECT_EQ(m_machine->ChipRegister(0, 0x59), 0x40);
}

TEST_F(ChipOperationTest, ReadingSequences) {
    struct Row {
        uint32_t code;
        std::vector<std::string> sequence;
    };
    const std::vector<Row> rows = {
        {IOCTL_READ_FAN1, {"r 5e 28"}},
        {IOCTL_READ_IN1, {"r 5e 21"}},
        {IOCTL_READ_IN2, {"r 5e 22"}},
        {IOCTL_READ_IN5, {"r 5e 25"}},
        {IOCTL_READ_IN6, {"r 5e 26"}},
        {IOCTL_READ_IN7, Join({Bank(), {"r 5e 50"}})},
        {IOCTL_READ_IN8, Join({Bank(), {"r 5e 5d", "w 5e 5d *"}, Bank(), {"r 5e 51"}})},
        {IOCTL_READ_TEMP1, Join({Bank(), {"r 5e 27"}})},
        {IOCTL_READ_TEMP2, Join({{"r 5e 4a"}, Bank(), {"r 92 0"}})},
        {IOCTL_READ_TEMP3, Join({{"r 5e 4a"}, Bank(), {"r 90 0"}})},
        {IOCTL_READ_CHIP_ID, Join({Bank(), {"r 5e 58"}})},
        {IOCTL_GET_FAN_DRIVE, Join({Bank(), {"r 5e 5b"}})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.code);
        StartRecording();
        ASSERT_EQ(SendNothing(row.code, 56).status, 0u);
        ExpectSequence(I2cTrace(), row.sequence);
    }
    // After IN8 its input stays enabled and bank 5 stays selected.
    SendNothing(IOCTL_READ_IN8, 56);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x5D) & 0x01, 0x01);
    EXPECT_EQ(m_machine->Bank(), 5);
}

TEST_F(ChipOperationTest, SubSensorAddressesFollowRegister4A) {
    EXPECT_EQ(SubSensorAddressTemp2(0x21), 0x92u);
    EXPECT_EQ(SubSensorAddressTemp3(0x21), 0x94u);
    EXPECT_EQ(SubSensorAddressTemp2(0x00), 0x90u);
    EXPECT_EQ(SubSensorAddressTemp3(0x00), 0x90u);
    EXPECT_EQ(SubSensorAddressTemp2(0x77), 0x9Eu);
    EXPECT_EQ(SubSensorAddressTemp3(0x77), 0x9Eu);
}

TEST_F(ChipOperationTest, FanConversionsNeverDivideByZero) {
    EXPECT_EQ(FanCountToRpm(255), 2647u);
    EXPECT_EQ(FanCountToRpm(1), 675000u);
    EXPECT_EQ(FanCountToRpm(0), 0u);
    EXPECT_EQ(FanRpmToCountLimit(2800), 241u);
    EXPECT_EQ(FanRpmToCountLimit(0), 255u);
    EXPECT_EQ(FanRpmToCountLimit(2636), 256u);  // reaches the chip as its low byte
}

TEST_F(ChipOperationTest, FanLimitProgramsTheCountAndEnablesItsBeep) {
    StartRecording();
    ASSERT_EQ(SendValue(IOCTL_SET_FAN1_LIMIT, 2800).status, 0u);
    ExpectSequence(I2cTrace(), Join({Bank(),
                                     {"w 5e 3b f1", "r 5e 4d", "w 5e 4d *"},
                                     Bank(),
                                     {"r 5e 57", "w 5e 57 *"},
                                     Bank(),
                                     {"r 5e 56", "w 5e 56 *"}}));
    EXPECT_EQ(m_machine->ChipRegister(0, 0x3B), 241);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x56) & 0x40, 0x40);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x57) & 0x80, 0x80);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x4D) & 0xC0, 0x80);

    ASSERT_EQ(SendValue(IOCTL_SET_FAN1_LIMIT, 0).status, 0u);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x3B), 255);
    ASSERT_EQ(SendValue(IOCTL_SET_FAN1_LIMIT, 2636).status, 0u);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x3B), 0);  // 256 arrives as its low byte
}

TEST_F(ChipOperationTest, VoltageAndTemperatureLimitsLandInTheirRegisters) {
    struct Row {
        uint32_t code;
        uint32_t value;
        int bank;
        uint8_t reg;
        uint8_t expected;
        int enableBank;
        uint8_t enableReg;
        uint8_t enableBit;
    };
    const Row rows[] = {
        {IOCTL_SET_IN1_LIMIT_A, 1600, 0, 0x2D, 100, 0, 0x56, 0x02},
        {IOCTL_SET_IN1_LIMIT_B, 1400, 0, 0x2E, 87, 0, 0x56, 0x02},
        {IOCTL_SET_IN2_LIMIT_A, 2700, 0, 0x2F, 168, 0, 0x56, 0x04},
        {IOCTL_SET_IN2_LIMIT_B, 2300, 0, 0x30, 143, 0, 0x56, 0x04},
        {IOCTL_SET_IN5_LIMIT_A, 1900, 0, 0x35, 118, 0, 0x57, 0x02},
        {IOCTL_SET_IN5_LIMIT_B, 1700, 0, 0x36, 106, 0, 0x57, 0x02},
        {IOCTL_SET_IN6_LIMIT_A, 3500, 0, 0x37, 218, 0, 0x57, 0x04},
        {IOCTL_SET_IN6_LIMIT_B, 3100, 0, 0x38, 193, 0, 0x57, 0x04},
        {IOCTL_SET_IN7_LIMIT_A, 1700, 5, 0x54, 106, 4, 0x53, 0x01},
        {IOCTL_SET_IN7_LIMIT_B, 1500, 5, 0x55, 93, 4, 0x53, 0x01},
        {IOCTL_SET_IN8_LIMIT_A, 2700, 5, 0x56, 168, 4, 0x53, 0x02},
        {IOCTL_SET_IN8_LIMIT_B, 2300, 5, 0x57, 143, 4, 0x53, 0x02},
        {IOCTL_SET_TEMP1_LIMIT, 0x150, 0, 0x39, 0x50, 0, 0x56, 0x10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.code);
        m_machine->SetChipRegister(row.enableBank, row.enableReg, 0);
        StartRecording();
        ASSERT_EQ(SendValue(row.code, row.value).status, 0u);
        const std::vector<std::string> trace = I2cTrace();
        ASSERT_GE(trace.size(), 3u);
        EXPECT_EQ(trace[2].substr(0, 7), "w 5e " + Hex(row.reg));
        EXPECT_EQ(m_machine->ChipRegister(row.bank, row.reg), row.expected);
        EXPECT_EQ(m_machine->ChipRegister(row.enableBank, row.enableReg) & row.enableBit,
                  row.enableBit);
        EXPECT_EQ(m_machine->ChipRegister(0, 0x57) & 0x80, 0x80);
    }
    // The TEMP1 limit runs twice, once for each of its two registers.
    EXPECT_EQ(m_machine->ChipRegister(0, 0x3A), 0x50);
}

TEST_F(ChipOperationTest, SubSensorLimitsWriteTheSensorThenTheEnables) {
    m_machine->SetChipRegister(0, 0x57, 0x40);
    StartRecording();
    ASSERT_EQ(SendValue(IOCTL_SET_TEMP2_LIMIT, 0x146).status, 0u);
    ExpectSequence(I2cTrace(), Join({{"r 5e 4a"},
                                     Bank(),
                                     {"w 92 1 10", "w 92 2 46", "w 92 3 46"},
                                     {"r 5e 4d", "w 5e 4d *"},
                                     Bank(),
                                     {"r 5e 57", "w 5e 57 c0", "r 5e 56", "w 5e 56 *"}}));
    EXPECT_EQ(m_machine->SubSensorRegister(0, 2), 0x46);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x56) & 0x20, 0x20);

    m_machine->SetChipRegister(0, 0x57, 0x00);
    ASSERT_EQ(SendValue(IOCTL_SET_TEMP3_LIMIT, 80).status, 0u);
    ExpectSequence(I2cTrace(), Join({{"r 5e 4a"},
                                     Bank(),
                                     {"w 90 2 50", "w 90 1 10", "w 90 3 50"},
                                     {"r 5e 4d", "w 5e 4d *"},
                                     Bank(),
                                     {"r 5e 57", "w 5e 57 a0"}}));
    EXPECT_EQ(m_machine->SubSensorRegister(1, 3), 80);
}

TEST_F(ChipOperationTest, AlarmSwitchesSetAndClearEveryBeepEnable) {
    m_machine->SetChipRegister(4, 0x53, 0xFF);
    m_machine->SetChipRegister(0, 0x4D, 0xFF);
    StartRecording();
    ASSERT_EQ(SendNothing(IOCTL_ALARMS_OFF).status, 0u);
    ExpectSequence(I2cTrace(),
                   Join({{"r 5e 4d", "w 5e 4d bf"},
                         Bank(),
                         {"r 5e 4d", "w 5e 4d bf", "r 5e 56", "w 5e 56 0", "r 5e 57", "w 5e 57 0"},
                         Bank(),
                         {"r 5e 53", "w 5e 53 dc"}}));
    EXPECT_FALSE(m_machine->BeeperOn());

    ASSERT_EQ(SendNothing(IOCTL_ALARMS_ON).status, 0u);
    ExpectSequence(I2cTrace(), Join({{"r 5e 4d", "w 5e 4d bf"},
                                     Bank(),
                                     {"r 5e 57", "w 5e 57 90", "r 5e 4d", "w 5e 4d 3f", "r 5e 56",
                                      "w 5e 56 ff", "r 5e 57", "w 5e 57 bf"},
                                     Bank(),
                                     {"r 5e 53", "w 5e 53 ff"}}));
    EXPECT_EQ(m_machine->ChipRegister(0, 0x56), 0xFF);
    EXPECT_EQ(m_machine->ChipRegister(4, 0x53), 0xFF);
}

TEST_F(ChipOperationTest, FanDriveIsWrittenWithoutReadingItFirst) {
    StartRecording();
    ASSERT_EQ(SendValue(IOCTL_SET_FAN_DRIVE, 0x1C0).status, 0u);
    ExpectSequence(I2cTrace(), Join({Bank(), {"w 5e 5b c0"}}));
    EXPECT_EQ(m_machine->FanDrive(), 0xC0);
}

}  // namespace
}  // namespace kest_test
