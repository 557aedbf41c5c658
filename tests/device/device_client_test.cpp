// The six client functions over the in-process transport: which field each one returns, and
// that failures read 0 and leave no handle open.
#include <gtest/gtest.h>

#include "app/device/device_client.h"
#include "protocol/ioctl.h"
#include "tests/device/device_fixture.h"

namespace {

using kesttest::DeviceTest;

MonitorReadings RawReadings(uint32_t code) {
    MonitorReadings r{};
    int32_t status = 0;
    int h = host::OpenDevice(KEST_USER_PATH, &status);
    uint32_t information = 0;
    host::DeviceControl(h, code, nullptr, 0, &r, sizeof r, &information);
    host::CloseDevice(h);
    return r;
}

TEST_F(DeviceTest, QueryDriverReadingPicksTheRequestsOwnField) {
    struct Row {
        sim::Sensor sensor;
        int value;
        uint32_t code;
        uint32_t MonitorReadings::*field;
    };
    const Row rows[] = {
        {sim::Sensor::fan1, 2647, IOCTL_READ_FAN1, &MonitorReadings::fan1Rpm},
        {sim::Sensor::in1, 1504, IOCTL_READ_IN1, &MonitorReadings::in1},
        {sim::Sensor::in7, 1200, IOCTL_READ_IN7, &MonitorReadings::in7},
        {sim::Sensor::in5, 1808, IOCTL_READ_IN5, &MonitorReadings::in5},
        {sim::Sensor::in6, 2496, IOCTL_READ_IN6, &MonitorReadings::in6},
        {sim::Sensor::in8, 1600, IOCTL_READ_IN8, &MonitorReadings::in8},
        {sim::Sensor::in2, 3296, IOCTL_READ_IN2, &MonitorReadings::in2},
        {sim::Sensor::temp1, 41, IOCTL_READ_TEMP1, &MonitorReadings::temp1},
        {sim::Sensor::temp2, 52, IOCTL_READ_TEMP2, &MonitorReadings::temp2},
        {sim::Sensor::temp3, 63, IOCTL_READ_TEMP3, &MonitorReadings::temp3},
    };
    for (const Row& row : rows) {
        m_machine->PinSensor(row.sensor, row.value);
    }
    for (const Row& row : rows) {
        EXPECT_EQ(QueryDriverReading(row.code), static_cast<uint32_t>(row.value))
            << sim::SensorName(row.sensor);
        EXPECT_EQ(RawReadings(row.code).*row.field, static_cast<uint32_t>(row.value));
    }
    EXPECT_EQ(QueryDriverReading(IOCTL_READ_CHIP_ID), 0x30u);
}

TEST_F(DeviceTest, FanDriveComesFromTheThirdField) {
    ASSERT_EQ(SendDriverValue(IOCTL_SET_FAN_DRIVE, 100), 1u);
    EXPECT_EQ(m_machine->FanDrive(), 100);
    EXPECT_EQ(QueryDriverReading(IOCTL_GET_FAN_DRIVE), 100u);
}

TEST_F(DeviceTest, RequestsWithoutDataAreSentAndReturnZero) {
    EXPECT_EQ(QueryDriverReading(IOCTL_ALARMS_ON), 0u);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x57) & 0x80, 0x80);
    EXPECT_EQ(QueryDriverReading(IOCTL_ALARMS_OFF), 0u);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x57) & 0x80, 0);
    m_machine->SetChipRegister(0, 0x56, 0x7E);
    EXPECT_EQ(QueryDriverReading(IOCTL_REINIT_MONITOR), 0u);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x56), 0);  // the start-up sequence ran again
}

TEST_F(DeviceTest, OtherCodesAndSelectorsAreSentAndReturnZero) {
    m_machine->SetTraceEnabled(true);
    for (uint32_t code : {IOCTL_READ_BANK0_REG, IOCTL_NO_OPERATION, 0x220496u}) {
        m_machine->TakeTrace();
        EXPECT_EQ(QueryDriverReading(code), 0u) << std::hex << code;
        EXPECT_FALSE(m_machine->TakeTrace().empty()) << "each request scans the adapter";
    }
    for (uint32_t selector : {0u, 8u}) {
        m_machine->TakeTrace();
        EXPECT_EQ(QueryAdapterInfo(selector), 0u);
        EXPECT_FALSE(m_machine->TakeTrace().empty());
    }
    const sim::BoardSpec& b = m_machine->Board();
    const uint32_t expected[] = {b.bar0 & ~0xFu, b.apertureSizeMiB, b.pciId, b.bar1 & ~3u};
    for (uint32_t selector = 1; selector <= 4; ++selector) {
        EXPECT_EQ(QueryAdapterInfo(selector), expected[selector - 1]) << selector;
    }
    EXPECT_EQ(QueryAdapterInfo(7), b.subsystemId);
    EXPECT_NE(QueryAdapterInfo(5), 0u);
    EXPECT_NE(QueryAdapterInfo(6), 0u);
}

TEST_F(DeviceTest, ClockDividerWordsAndPllRegisters) {
    uint32_t word = ReadClockDividers();
    EXPECT_EQ(word, m_machine->PllRegister(0x0A));
    EXPECT_EQ(WriteClockDividers((word & 0xFF00FFFF) | 0x00500000), 1u);
    EXPECT_EQ(m_machine->PllRegister(0x0A), (word & 0xFF00FFFF) | 0x00500000);
    EXPECT_EQ(ReadPllRegister(0x0D), m_machine->PllRegister(0x0D));
    EXPECT_EQ(ReadPllRegister(0x0E), 0x0400BC00u);
}

TEST_F(DeviceTest, FailedRequestsReturnZeroAndCloseTheirHandle) {
    m_machine->SetChipPresent(false);
    EXPECT_EQ(QueryDriverReading(IOCTL_READ_CHIP_ID), 0u);
    EXPECT_EQ(host::OpenHandleCount(), 0);
    EXPECT_EQ(SendDriverValue(IOCTL_SET_FAN_DRIVE, 255), 0u);
    EXPECT_EQ(host::OpenHandleCount(), 0);

    // Nothing filled on a vanished adapter: zeros, not leftovers.
    m_machine->SetChipPresent(true);
    m_machine->SetAdapterRemoved(true);
    EXPECT_EQ(ReadClockDividers(), 0u);
    EXPECT_EQ(ReadPllRegister(0x0A), 0u);
    EXPECT_EQ(QueryDriverReading(IOCTL_READ_TEMP3), 0u);
    m_machine->SetAdapterRemoved(false);
}

TEST_F(DeviceTest, WithoutTheDriverEveryFunctionReturnsZero) {
    host::UnloadDriver();
    EXPECT_EQ(QueryDriverReading(IOCTL_READ_TEMP3), 0u);
    EXPECT_EQ(QueryDriverReading(IOCTL_ALARMS_OFF), 0u);
    EXPECT_EQ(SendDriverValue(IOCTL_SET_FAN_DRIVE, 255), 0u);
    EXPECT_EQ(ReadClockDividers(), 0u);
    EXPECT_EQ(WriteClockDividers(0x1266A30B), 0u);
    EXPECT_EQ(QueryAdapterInfo(3), 0u);
    EXPECT_EQ(ReadPllRegister(0x0A), 0u);
    EXPECT_EQ(host::OpenHandleCount(), 0);
    EXPECT_NE(m_machine->PllRegister(0x0A), 0x1266A30Bu);
}

}  // namespace
