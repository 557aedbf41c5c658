// Every control request answered through the I/O manager emulation on a simulated board: the
// order of the checks, statuses and Information for every failure, outputs, and what reached the
// hardware.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/platform/kernel.h"
#include "sim/sensor.h"
#include "tests/driver/driver_fixture.h"

namespace kest_test {
namespace {

constexpr uint32_t kSuccess = 0;
constexpr uint32_t kInvalidParameter = 0xC000000D;
constexpr uint32_t kInvalidDeviceRequest = 0xC0000010;
constexpr uint32_t kBufferTooSmall = 0xC0000023;
constexpr uint32_t kDeletePending = 0xC0000056;

enum class Needs { nothing, input, output56, output4, inputOutput56, inputOutput4 };

struct ChipRequest {
    uint32_t code;
    Needs needs;
};

// Every request that reaches the monitor chip, with the buffers a well-formed caller passes.
const ChipRequest kChipRequests[] = {
    {IOCTL_READ_FAN1, Needs::output56},
    {IOCTL_READ_IN1, Needs::output56},
    {IOCTL_READ_IN7, Needs::output56},
    {IOCTL_READ_IN5, Needs::output56},
    {IOCTL_READ_IN6, Needs::output56},
    {IOCTL_READ_IN8, Needs::output56},
    {IOCTL_READ_IN2, Needs::output56},
    {IOCTL_READ_TEMP1, Needs::output56},
    {IOCTL_READ_TEMP2, Needs::output56},
    {IOCTL_READ_TEMP3, Needs::output56},
    {IOCTL_READ_CHIP_ID, Needs::output56},
    {IOCTL_SET_TEMP2_LIMIT, Needs::input},
    {IOCTL_SET_TEMP3_LIMIT, Needs::input},
    {IOCTL_SET_FAN_DRIVE, Needs::input},
    {IOCTL_GET_FAN_DRIVE, Needs::output56},
    {IOCTL_SET_FAN1_LIMIT, Needs::input},
    {IOCTL_SET_TEMP1_LIMIT, Needs::input},
    {IOCTL_SET_IN7_LIMIT_A, Needs::input},
    {IOCTL_SET_IN1_LIMIT_A, Needs::input},
    {IOCTL_SET_IN2_LIMIT_A, Needs::input},
    {IOCTL_SET_IN5_LIMIT_A, Needs::input},
    {IOCTL_SET_IN8_LIMIT_A, Needs::input},
    {IOCTL_SET_IN6_LIMIT_A, Needs::input},
    {IOCTL_SET_IN7_LIMIT_B, Needs::input},
    {IOCTL_SET_IN1_LIMIT_B, Needs::input},
    {IOCTL_SET_IN2_LIMIT_B, Needs::input},
    {IOCTL_SET_IN5_LIMIT_B, Needs::input},
    {IOCTL_SET_IN8_LIMIT_B, Needs::input},
    {IOCTL_SET_IN6_LIMIT_B, Needs::input},
    {IOCTL_ALARMS_OFF, Needs::nothing},
    {IOCTL_ALARMS_ON, Needs::nothing},
    {IOCTL_READ_BANK0_REG, Needs::inputOutput56},
    {IOCTL_READ_BANK1_REG, Needs::inputOutput56},
    {IOCTL_READ_BANK2_REG, Needs::inputOutput56},
    {IOCTL_READ_BANK3_REG, Needs::inputOutput56},
    {IOCTL_READ_BANK4_REG, Needs::inputOutput56},
    {IOCTL_READ_BANK5_REG, Needs::inputOutput56},
    {IOCTL_READ_BANK6_REG, Needs::inputOutput56},
};

// Requests marked for the adapter checks that do not reach the chip.
const ChipRequest kAdapterOnlyRequests[] = {
    {IOCTL_GET_CLOCK_DIVIDERS, Needs::output4},    {IOCTL_SET_CLOCK_DIVIDERS, Needs::input},
    {IOCTL_READ_IO_REG, Needs::inputOutput4},      {IOCTL_READ_PLL_REG, Needs::inputOutput4},
    {IOCTL_READ_AUX_I2C_REG, Needs::inputOutput4},
};

class ControlRequestTest : public DriverTest {
protected:
    Reply SendWellFormed(const ChipRequest& request, uint32_t value = 0x58) {
        switch (request.needs) {
            case Needs::nothing:
                return SendNothing(request.code);
            case Needs::input:
                return SendValue(request.code, value);
            case Needs::output56:
                return SendNothing(request.code, 56);
            case Needs::output4:
                return SendNothing(request.code, 4);
            case Needs::inputOutput56:
                return SendValue(request.code, value, 56);
            case Needs::inputOutput4:
                return SendValue(request.code, 0x08, 4);
        }
        return {};
    }
};

TEST_F(ControlRequestTest, UndefinedCodesSucceedWithoutOutputOrChipTraffic) {
    Load("9800pro");
    for (uint32_t code : {0x220496u, 0x220514u, 0x220490u, 0x22054Cu, 0x220549u, 0u, 0x9C402494u}) {
        StartRecording();
        const Reply reply = SendValue(code, 0x12345678, 64);
        EXPECT_EQ(reply.status, kSuccess) << std::hex << code;
        EXPECT_EQ(reply.information, 0u) << std::hex << code;
        EXPECT_TRUE(I2cTrace().empty()) << std::hex << code;
    }
}

TEST_F(ControlRequestTest, EveryCodeWalksTheBusFirstEvenWhenItDoesNothing) {
    Load("9800pro");
    const std::string sizing = "out32 cfc ffffffff";  // the scan's BAR0 sizing write
    for (uint32_t code : {0x220496u, 0x220514u, 0x22054Cu, 0u}) {
        StartRecording();
        EXPECT_EQ(SendNothing(code).status, kSuccess) << std::hex << code;
        const std::vector<std::string> trace = PortTrace();
        EXPECT_EQ(std::count(trace.begin(), trace.end(), sizing), 1) << std::hex << code;
    }
    // Re-initialising scans once more on its own after the scan every request makes.
    StartRecording();
    EXPECT_EQ(SendNothing(IOCTL_REINIT_MONITOR).status, kSuccess);
    const std::vector<std::string> reinit = PortTrace();
    EXPECT_EQ(std::count(reinit.begin(), reinit.end(), sizing), 2);
    // The defined no-operation code checks neither the adapter nor its window.
    m_machine->SetIoBarAllOnes(true);
    const Reply missingWindow = SendValue(IOCTL_NO_OPERATION, 1, 4);
    EXPECT_EQ(missingWindow.status, kSuccess);
    EXPECT_EQ(missingWindow.information, 0u);
}

TEST_F(ControlRequestTest, AdapterInfoNeedsTwentyEightBytesAndWorksOnAnyAdapter) {
    Load("9800pro");
    EXPECT_EQ(SendNothing(IOCTL_GET_ADAPTER_INFO, 27).status, kBufferTooSmall);
    EXPECT_EQ(SendNothing(IOCTL_GET_ADAPTER_INFO, 27).information, 0u);

    const Reply reply = SendNothing(IOCTL_GET_ADAPTER_INFO, 64);
    ASSERT_EQ(reply.status, kSuccess);
    ASSERT_EQ(reply.information, 28u);
    const sim::BoardSpec& board = m_machine->Board();
    const AdapterInfo info = reply.Adapter();
    EXPECT_EQ(info.pciId, board.pciId);
    EXPECT_EQ(info.subsystemId, board.subsystemId);
    EXPECT_EQ(info.apertureBase, board.bar0 & 0xFFFFFFF0);
    EXPECT_EQ(info.apertureSizeMB, board.apertureSizeMiB);
    EXPECT_EQ(info.ioBase, board.bar1 & 0xFFFFFFFC);

    // With the adapter gone the scan finds nothing, and the request still answers.
    m_machine->SetAdapterRemoved(true);
    const Reply gone = SendNothing(IOCTL_GET_ADAPTER_INFO, 28);
    ASSERT_EQ(gone.status, kSuccess);
    ASSERT_EQ(gone.information, 28u);
    EXPECT_EQ(gone.output, std::vector<uint8_t>(28, 0xFF));
}

TEST_F(ControlRequestTest, UnsupportedAdapterMakesEveryCheckedRequestANoOperation) {
    Load("9700pro");
    m_machine->SetAdapterRemoved(true);
    StartRecording();
    for (const auto& table :
         {std::vector<ChipRequest>(std::begin(kChipRequests), std::end(kChipRequests)),
          std::vector<ChipRequest>(std::begin(kAdapterOnlyRequests),
                                   std::end(kAdapterOnlyRequests))}) {
        for (const ChipRequest& request : table) {
            const Reply reply = SendWellFormed(request);
            EXPECT_EQ(reply.status, kSuccess) << std::hex << request.code;
            EXPECT_EQ(reply.information, 0u) << std::hex << request.code;
        }
    }
    EXPECT_TRUE(I2cTrace().empty());
}

TEST_F(ControlRequestTest, MissingIoWindowFailsEveryCheckedRequest) {
    Load("9600pro");
    m_machine->SetIoBarAllOnes(true);
    StartRecording();
    for (const ChipRequest& request : kChipRequests) {
        const Reply reply = SendWellFormed(request);
        EXPECT_EQ(reply.status, kInvalidDeviceRequest) << std::hex << request.code;
        EXPECT_EQ(reply.information, 0u);
    }
    for (const ChipRequest& request : kAdapterOnlyRequests) {
        EXPECT_EQ(SendWellFormed(request).status, kInvalidDeviceRequest)
            << std::hex << request.code;
    }
    EXPECT_TRUE(I2cTrace().empty());
    // Re-initialising checks nothing and always succeeds.
    EXPECT_EQ(SendNothing(IOCTL_REINIT_MONITOR).status, kSuccess);
}

TEST_F(ControlRequestTest, ShortInputFailsBeforeTheChipIsTouched) {
    Load("9800pro");
    for (const ChipRequest& request : kChipRequests) {
        if (request.needs != Needs::input && request.needs != Needs::inputOutput56) {
            continue;
        }
        StartRecording();
        const Reply reply = Send(request.code, {0x10, 0x00, 0x00}, 56);
        EXPECT_EQ(reply.status, kBufferTooSmall) << std::hex << request.code;
        EXPECT_EQ(reply.information, 0u);
        EXPECT_TRUE(I2cTrace().empty()) << std::hex << request.code;
    }
}

TEST_F(ControlRequestTest, FanDriveUsesTheFirstWordOfALongerInput) {
    Load("9800pro");
    std::vector<uint8_t> input = Le32(0x1234567F);
    const std::vector<uint8_t> second = Le32(0xFF);
    input.insert(input.end(), second.begin(), second.end());
    EXPECT_EQ(Send(IOCTL_SET_FAN_DRIVE, input, 0).status, kSuccess);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x5B), 0x7F);
    const Reply drive = SendNothing(IOCTL_GET_FAN_DRIVE, 56);
    EXPECT_EQ(drive.Readings().regValue, 0x7Fu);
}

TEST_F(ControlRequestTest, ShortOutputReadingStillPerformsTheChipRead) {
    Load("9800pro");
    for (const ChipRequest& request : kChipRequests) {
        if (request.needs != Needs::output56 && request.needs != Needs::inputOutput56) {
            continue;
        }
        StartRecording();
        const Reply reply = request.needs == Needs::output56 ? SendNothing(request.code, 55)
                                                             : SendValue(request.code, 0x58, 55);
        EXPECT_EQ(reply.status, kBufferTooSmall) << std::hex << request.code;
        EXPECT_EQ(reply.information, 0u);
        EXPECT_FALSE(I2cTrace().empty()) << std::hex << request.code;
    }
}

TEST_F(ControlRequestTest, AbsentChipFailsEveryChipRequestButAuxAndReinit) {
    Load("nochip");
    ASSERT_EQ(m_loadStatus, 0);
    for (const ChipRequest& request : kChipRequests) {
        StartRecording();
        const Reply reply = SendWellFormed(request);
        EXPECT_EQ(reply.status, kInvalidDeviceRequest) << std::hex << request.code;
        EXPECT_EQ(reply.information, 0u);
        // The first transaction of every operation is a read or a bank selection's read: it
        // fails, so nothing is ever written.
        const std::vector<std::string> trace = I2cTrace();
        ASSERT_EQ(trace.size(), 1u) << std::hex << request.code;
        EXPECT_EQ(trace[0].substr(0, 2), "r ") << std::hex << request.code;
    }
    const Reply aux = SendValue(IOCTL_READ_AUX_I2C_REG, 0, 4);
    EXPECT_EQ(aux.status, kSuccess);
    EXPECT_EQ(aux.information, 4u);
    EXPECT_EQ(aux.Word(), 0xFFFFFFFFu);
    EXPECT_EQ(SendNothing(IOCTL_REINIT_MONITOR).status, kSuccess);
}

TEST_F(ControlRequestTest, ChipVanishingAfterLoadFailsRequestsAndReinitStillSucceeds) {
    Load("9500pro");
    m_machine->SetChipPresent(false);
    EXPECT_EQ(SendNothing(IOCTL_READ_TEMP3, 56).status, kInvalidDeviceRequest);
    EXPECT_EQ(SendNothing(IOCTL_REINIT_MONITOR).status, kSuccess);
    m_machine->SetChipPresent(true);
    EXPECT_EQ(SendNothing(IOCTL_REINIT_MONITOR).status, kSuccess);
    const Reply id = SendNothing(IOCTL_READ_CHIP_ID, 56);
    EXPECT_EQ(id.status, kSuccess);
    EXPECT_EQ(id.Readings().chipId, 0x30u);
}

TEST_F(ControlRequestTest, GetClockDividersReadsThePllBeforeCheckingTheOutput) {
    Load("9800pro");
    StartRecording();
    const Reply shortReply = SendNothing(IOCTL_GET_CLOCK_DIVIDERS, 3);
    EXPECT_EQ(shortReply.status, kBufferTooSmall);
    EXPECT_EQ(shortReply.information, 0u);
    const std::vector<std::string> trace = PortTrace();
    char select[32];
    std::snprintf(select, sizeof(select), "out8 %x a", IoBase() + 8);
    EXPECT_NE(std::find(trace.begin(), trace.end(), select), trace.end());

    const Reply reply = SendNothing(IOCTL_GET_CLOCK_DIVIDERS, 4);
    EXPECT_EQ(reply.status, kSuccess);
    EXPECT_EQ(reply.information, 4u);
    EXPECT_EQ(reply.Word(), m_machine->PllRegister(0x0A));
}

TEST_F(ControlRequestTest, SetClockDividersSelectsTheRegisterEvenWhenTheInputIsShort) {
    Load("9800pro");
    const uint32_t before = m_machine->PllRegister(0x0A);
    SendNothing(IOCTL_GET_CLOCK_DIVIDERS, 4);  // leaves index 0x0A selected for reading
    ASSERT_EQ(m_machine->PllIndex(), 0x0A);

    EXPECT_EQ(Send(IOCTL_SET_CLOCK_DIVIDERS, {1, 2, 3}, 0).status, kBufferTooSmall);
    EXPECT_EQ(m_machine->PllIndex(), 0x8A);
    EXPECT_EQ(m_machine->PllRegister(0x0A), before);

    const uint32_t word = (before & 0xFF000000) | 0x00B41E0C;
    const Reply reply = SendValue(IOCTL_SET_CLOCK_DIVIDERS, word);
    EXPECT_EQ(reply.status, kSuccess);
    EXPECT_EQ(reply.information, 0u);
    EXPECT_EQ(m_machine->PllRegister(0x0A), word);
    EXPECT_EQ(m_machine->PllIndex(), 0x8A);
    EXPECT_EQ(SendNothing(IOCTL_GET_CLOCK_DIVIDERS, 4).Word(), word);
}

TEST_F(ControlRequestTest, PllRegisterReadRestoresTheIndexItFound) {
    Load("9600pro");
    StartRecording();
    const Reply reply = SendValue(IOCTL_READ_PLL_REG, 0x112, 4);  // low 8 bits name register 0x12
    ASSERT_EQ(reply.status, kSuccess);
    EXPECT_EQ(reply.information, 4u);
    EXPECT_EQ(reply.Word(), m_machine->PllRegister(0x12));
    EXPECT_EQ(m_machine->PllIndex(), 0x12);

    std::vector<std::string> trace = PortTrace();
    const uint32_t b = IoBase();
    auto line = [](const char* format, uint32_t port) {
        char text[32];
        std::snprintf(text, sizeof(text), format, port);
        return std::string(text);
    };
    const std::vector<std::string> window = {line("out8 %x 12", b + 8), line("in32 %x", b + 0xC),
                                             line("in8 %x", b + 8),     line("out8 %x 0", b + 8),
                                             line("in32 %x", b + 0xC),  line("out8 %x 12", b + 8)};
    ASSERT_GE(trace.size(), window.size());
    EXPECT_EQ(std::vector<std::string>(trace.end() - window.size(), trace.end()), window);

    // Input is checked before the window is touched, output after.
    StartRecording();
    EXPECT_EQ(Send(IOCTL_READ_PLL_REG, {0x0A}, 4).status, kBufferTooSmall);
    trace = PortTrace();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), line("out8 %x a", b + 8)), 0);
    EXPECT_EQ(SendValue(IOCTL_READ_PLL_REG, 0x0A, 3).status, kBufferTooSmall);
    trace = PortTrace();
    // Selected for the read, and put back by the restore.
    EXPECT_EQ(std::count(trace.begin(), trace.end(), line("out8 %x a", b + 8)), 2);
}

TEST_F(ControlRequestTest, IoWindowReadStaysInsideTheWindow) {
    Load("9800pro");
    // Index register: reads back what the last request left there.
    const Reply inside = SendValue(IOCTL_READ_IO_REG, 0x0C, 4);
    EXPECT_EQ(inside.status, kSuccess);
    EXPECT_EQ(inside.information, 4u);
    EXPECT_EQ(SendValue(IOCTL_READ_IO_REG, 0xFC, 4).status, kSuccess);

    for (uint32_t offset : {0xFDu, 0x100u, 0x10000u, 0xFFFFFFFCu}) {
        StartRecording();
        const Reply refused = SendValue(IOCTL_READ_IO_REG, offset, 4);
        EXPECT_EQ(refused.status, kInvalidParameter) << offset;
        EXPECT_EQ(refused.information, 0u);
        for (const std::string& access : PortTrace()) {
            // Only the adapter scan's configuration cycles remain.
            EXPECT_TRUE(access.find(" cf8") != std::string::npos ||
                        access.find(" cfc") != std::string::npos)
                << access;
        }
    }
    EXPECT_EQ(Send(IOCTL_READ_IO_REG, {0}, 4).status, kBufferTooSmall);
    EXPECT_EQ(SendValue(IOCTL_READ_IO_REG, 0, 3).status, kBufferTooSmall);
}

TEST_F(ControlRequestTest, ReadingsFillTheirFieldAndClearTheRest) {
    Load("9800pro");
    m_machine->PinSensor(sim::Sensor::fan1, 2647);
    m_machine->PinSensor(sim::Sensor::in1, 1504);
    m_machine->PinSensor(sim::Sensor::in2, 2496);
    m_machine->PinSensor(sim::Sensor::in5, 1792);
    m_machine->PinSensor(sim::Sensor::in6, 3296);
    m_machine->PinSensor(sim::Sensor::in7, 1600);
    m_machine->PinSensor(sim::Sensor::in8, 2512);
    m_machine->PinSensor(sim::Sensor::temp1, 47);
    m_machine->PinSensor(sim::Sensor::temp2, 52);
    m_machine->PinSensor(sim::Sensor::temp3, 61);

    struct Row {
        uint32_t code;
        size_t field;
        uint32_t expected;
    };
    const Row rows[] = {
        {IOCTL_READ_CHIP_ID, 0, 0x30}, {IOCTL_READ_FAN1, 1, 2647}, {IOCTL_READ_IN7, 3, 1600},
        {IOCTL_READ_IN1, 4, 1504},     {IOCTL_READ_IN2, 5, 2496},  {IOCTL_READ_IN5, 6, 1792},
        {IOCTL_READ_IN8, 7, 2512},     {IOCTL_READ_IN6, 8, 3296},  {IOCTL_READ_TEMP1, 9, 47},
        {IOCTL_READ_TEMP2, 10, 52},    {IOCTL_READ_TEMP3, 11, 61},
    };
    for (const Row& row : rows) {
        const Reply reply = SendNothing(row.code, 56);
        ASSERT_EQ(reply.status, kSuccess) << std::hex << row.code;
        ASSERT_EQ(reply.information, 56u);
        for (size_t field = 0; field < 14; ++field) {
            uint32_t expected = field == row.field ? row.expected : 0;
            // The sub-sensor readings also report the bus address they used (0x4A = 0x01).
            if (row.code == IOCTL_READ_TEMP2 && field == 12) {
                expected = 0x92;
            }
            if (row.code == IOCTL_READ_TEMP3 && field == 13) {
                expected = 0x90;
            }
            EXPECT_EQ(reply.Word(field), expected) << std::hex << row.code << " field " << field;
        }
    }
}

TEST_F(ControlRequestTest, AuxiliaryReadHappensBeforeTheOutputIsChecked) {
    Load("9800pro");
    StartRecording();
    const Reply shortReply = SendValue(IOCTL_READ_AUX_I2C_REG, 0x101, 3);
    EXPECT_EQ(shortReply.status, kBufferTooSmall);
    EXPECT_EQ(shortReply.information, 0u);
    EXPECT_EQ(I2cTrace(), std::vector<std::string>{"r 70 1"});

    const Reply reply = SendValue(IOCTL_READ_AUX_I2C_REG, 0x101, 4);
    EXPECT_EQ(reply.status, kSuccess);
    EXPECT_EQ(reply.information, 4u);
    EXPECT_EQ(reply.Word(), 0x8Cu);
    // A register the device does not have: the failure comes back as the word, not a status.
    const Reply refused = SendValue(IOCTL_READ_AUX_I2C_REG, 0x09, 4);
    EXPECT_EQ(refused.status, kSuccess);
    EXPECT_EQ(refused.Word(), 0xFFFFFFFFu);
}

TEST_F(ControlRequestTest, BankRegisterReadSelectsTheBankAndUsesTheLowByte) {
    Load("9700pro");
    m_machine->SetChipRegister(6, 0x5F, 0xA5);
    const Reply reply = SendValue(IOCTL_READ_BANK6_REG, 0x15F, 56);
    ASSERT_EQ(reply.status, kSuccess);
    EXPECT_EQ(reply.Readings().regValue, 0xA5u);
    EXPECT_EQ(m_machine->Bank(), 6);
    EXPECT_EQ(SendValue(IOCTL_READ_BANK0_REG, 0x58, 56).Readings().regValue, 0x30u);
    EXPECT_EQ(m_machine->Bank(), 0);
    // All eight low bits name the register: 0xD8 is not 0x58, and the chip refuses it.
    StartRecording();
    EXPECT_EQ(SendValue(IOCTL_READ_BANK0_REG, 0x1D8, 56).status, kInvalidDeviceRequest);
    const std::vector<std::string> trace = I2cTrace();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), "r 5e d8 no-ack");
}

TEST_F(ControlRequestTest, PowerRequestsCompleteDeletePendingAndResumeRestartsTheChip) {
    Load("9800pro");
    m_machine->SetChipRegister(0, 0x5B, 0x33);
    m_machine->SetChipRegister(0, 0x40, 0x00);  // monitoring stopped, as after a power loss
    const uint32_t pll0E = m_machine->PllRegister(0x0E);
    m_machine->SetChipRegister(0, 0x4A, 0x00);
    host::ResetCounters();
    StartRecording();

    EXPECT_EQ(static_cast<uint32_t>(
                  host::SendPowerRequest(IRP_MN_QUERY_POWER, SystemPowerState, PowerSystemWorking)),
              kDeletePending);
    EXPECT_EQ(static_cast<uint32_t>(
                  host::SendPowerRequest(IRP_MN_SET_POWER, DevicePowerState, PowerDeviceD0)),
              kDeletePending);
    EXPECT_EQ(static_cast<uint32_t>(
                  host::SendPowerRequest(IRP_MN_SET_POWER, SystemPowerState, PowerSystemSleeping3)),
              kDeletePending);
    EXPECT_TRUE(I2cTrace().empty());
    EXPECT_EQ(host::Counters().startNextPowerIrpCalls, 3u);

    EXPECT_EQ(static_cast<uint32_t>(host::SendSystemWorkingPower()), kDeletePending);
    EXPECT_EQ(host::Counters().startNextPowerIrpCalls, 4u);
    const std::vector<std::string> trace = I2cTrace();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[0], "r 5e 40");
    EXPECT_EQ(trace[1], "w 5e 40 80");
    EXPECT_TRUE(m_machine->ChipStarted());
    EXPECT_EQ(m_machine->ChipRegister(0, 0x4A), 0x01);
    EXPECT_EQ(m_machine->Bank(), 4);
    // The clock synthesiser's start-up value is written at load only.
    EXPECT_EQ(m_machine->PllRegister(0x0E), pll0E);
    const std::vector<std::string> trace2 = PortTrace();
    EXPECT_EQ(std::count(trace2.begin(), trace2.end(), "out8 " + Hex(IoBase() + 8) + " 8e"), 0);
}

TEST_F(ControlRequestTest, FailedMultiStepOperationKeepsItsEarlierWrites) {
    Load("9800pro");
    m_machine->SetChipRegister(0, 0x56, 0x00);
    m_machine->SetChipRegister(0, 0x3B, 0x00);
    // Fan limit: select bank (2 transactions), limit write, then 0x4D read, write; fail there.
    m_machine->SetNackOnTransaction(5);
    const Reply reply = SendValue(IOCTL_SET_FAN1_LIMIT, 2800);
    EXPECT_EQ(reply.status, kInvalidDeviceRequest);
    EXPECT_EQ(reply.information, 0u);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x3B), 241);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x56) & 0x40, 0);
}

}  // namespace
}  // namespace kest_test
