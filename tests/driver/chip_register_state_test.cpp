// What the chip holds after each operation, starting from registers filled with all ones and
// with all zeros: every read-modify-write must keep exactly the bits it is meant to keep, and
// every operation must leave the bank it is meant to leave.
#include <gtest/gtest.h>

#include <functional>

#include "driver/monitorchip.h"
#include "tests/driver/driver_fixture.h"

namespace kest_test {
namespace {

struct Register {
    int bank;
    uint8_t reg;
};

struct Outcome {
    Register where;
    uint8_t fromOnes;   // result when the operation found 0xFF everywhere it reads
    uint8_t fromZeros;  // result when it found 0x00
};

class ChipRegisterStateTest : public DriverTest {
protected:
    void SetUp() override { Load("9800pro"); }
};

TEST_F(ChipRegisterStateTest, ReadModifyWritesKeepExactlyTheirBits) {
    struct Row {
        const char* what;
        std::vector<Register> preset;
        std::function<LONG()> run;
        std::vector<Outcome> outcomes;
    };
    auto direct = [this](LONG (*operation)(ULONG)) {
        return [this, operation] { return operation(IoBase()); };
    };
    auto request = [this](uint32_t code, uint32_t value, uint32_t outLength) {
        return
            [=, this]() -> LONG { return SendValue(code, value, outLength).status == 0 ? 0 : -1; };
    };
    const Register r4D{0, 0x4D}, r56{0, 0x56}, r57{0, 0x57}, r5D{0, 0x5D}, r53{4, 0x53};
    const std::vector<Row> rows = {
        {"bank selection",
         {{0, 0x4E}},
         [this] { return SelectBank(IoBase(), 5); },
         {{{0, 0x4E}, 0xFD, 0x05}}},
        {"chip set-up", {{0, 0x4B}}, direct(ChipSetup), {{{0, 0x4B}, 0x43, 0x00}}},
        {"fan set-up",
         {r4D, {0, 0x47}, r5D, {0, 0x4E}},
         direct(FanSetup),
         {{r4D, 0xFD, 0x01}, {{0, 0x47}, 0xDF, 0x10}, {r5D, 0xDF, 0x00}, {{0, 0x4E}, 0xF8, 0x00}}},
        {"sensor set-up",
         {{0, 0x4A}, r5D, {0, 0x59}, {0, 0x52}, {4, 0x54}, {4, 0x55}, {4, 0x56}},
         direct(SensorSetup),
         {{{0, 0x4A}, 0x77, 0x00},
          {r5D, 0x08, 0x08},
          {{0, 0x59}, 0x30, 0x30},
          {{0, 0x52}, 0x00, 0x00},
          {{4, 0x54}, 0x00, 0x00},
          {{4, 0x55}, 0x00, 0x00},
          {{4, 0x56}, 0x00, 0x00}}},
        {"alarm set-up",
         {r4D, r56, r57, r53},
         direct(AlarmSetup),
         {{r4D, 0xBF, 0x80}, {r56, 0x00, 0x00}, {r57, 0x00, 0x00}, {r53, 0xFC, 0x00}}},
        {"IN8 reading", {r5D}, request(IOCTL_READ_IN8, 0, 56), {{r5D, 0xFF, 0x01}}},
        {"IN1 limit A",
         {r4D, r56, r57},
         request(IOCTL_SET_IN1_LIMIT_A, 1600, 0),
         {{r4D, 0xBF, 0x80}, {r57, 0xFF, 0x80}, {r56, 0xFF, 0x02}, {{0, 0x2D}, 100, 100}}},
        {"IN6 limit B",
         {r4D, r57},
         request(IOCTL_SET_IN6_LIMIT_B, 3100, 0),
         {{r4D, 0xBF, 0x80}, {r57, 0xFF, 0x84}, {{0, 0x38}, 193, 193}}},
        {"IN7 limit B",
         {r4D, r57, r53},
         request(IOCTL_SET_IN7_LIMIT_B, 1500, 0),
         {{r4D, 0xBF, 0x80}, {r57, 0xFF, 0x80}, {r53, 0xFF, 0x01}, {{5, 0x55}, 93, 93}}},
        {"TEMP2 limit",
         {r4D, r56, r57},
         request(IOCTL_SET_TEMP2_LIMIT, 70, 0),
         {{r4D, 0xBF, 0x80}, {r57, 0xFF, 0x80}, {r56, 0xFF, 0x20}}},
        {"TEMP3 limit",
         {r4D, r57},
         request(IOCTL_SET_TEMP3_LIMIT, 70, 0),
         {{r4D, 0xBF, 0x80}, {r57, 0xFF, 0xA0}}},
        {"alarms off",
         {r4D, r56, r57, r53},
         request(IOCTL_ALARMS_OFF, 0, 0),
         {{r4D, 0xBF, 0x80}, {r56, 0x00, 0x00}, {r57, 0x00, 0x00}, {r53, 0xDC, 0x00}}},
        {"alarms on",
         {r4D, r56, r57, r53},
         request(IOCTL_ALARMS_ON, 0, 0),
         {{r4D, 0x3F, 0x00}, {r56, 0xFF, 0xFF}, {r57, 0xFF, 0xBF}, {r53, 0xFF, 0x23}}},
    };
    for (const uint8_t fill : {uint8_t{0xFF}, uint8_t{0x00}}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(::testing::Message() << row.what << " from 0x" << std::hex << int{fill});
            for (const Register& r : row.preset) {
                m_machine->SetChipRegister(r.bank, r.reg, fill);
            }
            ASSERT_EQ(row.run(), 0);
            for (const Outcome& o : row.outcomes) {
                EXPECT_EQ(m_machine->ChipRegister(o.where.bank, o.where.reg),
                          fill == 0xFF ? o.fromOnes : o.fromZeros)
                    << "bank " << o.where.bank << " register 0x" << std::hex << int{o.where.reg};
            }
        }
    }
}

TEST_F(ChipRegisterStateTest, EveryRequestLeavesItsBankSelectedAndKeepsTheUpperBits) {
    constexpr int kUntouched = 3;  // what the test selects beforehand
    struct Row {
        uint32_t code;
        uint32_t value;  // input word, when the request takes one
        bool hasInput;
        uint32_t outLength;
        int bank;
    };
    const Row rows[] = {
        {IOCTL_READ_FAN1, 0, false, 56, kUntouched}, {IOCTL_READ_IN1, 0, false, 56, kUntouched},
        {IOCTL_READ_IN2, 0, false, 56, kUntouched},  {IOCTL_READ_IN5, 0, false, 56, kUntouched},
        {IOCTL_READ_IN6, 0, false, 56, kUntouched},  {IOCTL_READ_IN7, 0, false, 56, 5},
        {IOCTL_READ_IN8, 0, false, 56, 5},           {IOCTL_READ_TEMP1, 0, false, 56, 0},
        {IOCTL_READ_TEMP2, 0, false, 56, 1},         {IOCTL_READ_TEMP3, 0, false, 56, 2},
        {IOCTL_READ_CHIP_ID, 0, false, 56, 0},       {IOCTL_GET_FAN_DRIVE, 0, false, 56, 0},
        {IOCTL_SET_FAN_DRIVE, 200, true, 0, 0},      {IOCTL_SET_FAN1_LIMIT, 3000, true, 0, 0},
        {IOCTL_SET_TEMP1_LIMIT, 80, true, 0, 0},     {IOCTL_SET_TEMP2_LIMIT, 80, true, 0, 0},
        {IOCTL_SET_TEMP3_LIMIT, 80, true, 0, 0},     {IOCTL_SET_IN5_LIMIT_A, 2000, true, 0, 0},
        {IOCTL_SET_IN7_LIMIT_A, 1800, true, 0, 4},   {IOCTL_SET_IN8_LIMIT_B, 1400, true, 0, 4},
        {IOCTL_ALARMS_OFF, 0, false, 0, 4},          {IOCTL_ALARMS_ON, 0, false, 0, 4},
        {IOCTL_REINIT_MONITOR, 0, false, 0, 4},      {IOCTL_READ_BANK1_REG, 0x50, true, 56, 1},
        {IOCTL_READ_BANK4_REG, 0x50, true, 56, 4},   {IOCTL_READ_BANK6_REG, 0x50, true, 56, 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.code);
        m_machine->SetChipRegister(0, 0x4E, 0xA8 | kUntouched);
        const Reply reply = row.hasInput ? SendValue(row.code, row.value, row.outLength)
                                         : SendNothing(row.code, row.outLength);
        ASSERT_EQ(reply.status, 0u);
        // Start-up writes 0x80 itself; everything else keeps what it found above bit 2.
        const int upper = row.code == IOCTL_REINIT_MONITOR ? 0x80 : 0xA8;
        EXPECT_EQ(m_machine->ChipRegister(0, 0x4E), upper | row.bank);
    }
}

TEST_F(ChipRegisterStateTest, AFailedStartUpStepStopsOnlyItselfAndTheNextStepRuns) {
    struct Row {
        int failingTransaction;
        std::vector<std::string> head;  // the trace up to the next step's first transaction
    };
    const Row rows[] = {
        // ChipReset's read fails; ChipSetup still starts.
        {1, {"r 5e 40 no-ack", "r 5e 46"}},
        // ChipSetup's first read fails; FanSetup starts with its bank selection.
        {3, {"r 5e 40", "w 5e 40 80", "r 5e 46 no-ack", "r 5e 4e"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failingTransaction);
        StartRecording();
        m_machine->SetNackOnTransaction(row.failingTransaction);
        ASSERT_EQ(SendNothing(IOCTL_REINIT_MONITOR).status, 0u);
        std::vector<std::string> trace = I2cTrace();
        ASSERT_GE(trace.size(), row.head.size());
        trace.resize(row.head.size());
        EXPECT_EQ(trace, row.head);
        // The later steps ran to their end.
        EXPECT_EQ(m_machine->Bank(), 4);
        EXPECT_EQ(m_machine->ChipRegister(0, 0x5D), 0x08);
    }
}

}  // namespace
}  // namespace kest_test
