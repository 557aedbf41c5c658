// ApplyAlarmLimits as the chip sees it, ComposeClockDividers against the adapter's post codes,
// and the fan-control board rule.
#include <gtest/gtest.h>

#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/device/settings.h"
#include "protocol/ioctl.h"
#include "tests/device/device_fixture.h"

namespace {

using kesttest::DeviceTest;

class AlarmLimitsTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        g_nAdapterId = QueryAdapterInfo(3);
        g_nSubsystemId = QueryAdapterInfo(7);
        g_nNoFan = 0;
        g_bFanStopped = 0;
        m_machine->TakeI2cLog();
    }
    void TearDown() override {
        g_nAdapterId = 0;
        g_nSubsystemId = 0;
        g_nNoFan = 0;
        g_bFanStopped = 0;
        DeviceTest::TearDown();
    }

    // The limit writes the chip and its sub-sensors received, in order.
    std::vector<std::string> LimitWrites() {
        std::vector<std::string> lines;
        for (const sim::I2cTransaction& t : m_machine->TakeI2cLog()) {
            bool chipLimit = t.address == 0x5E && (t.reg == 0x3B || t.reg == 0x39 || t.reg == 0x3A);
            bool subLimit = t.address >= 0x90 && t.address <= 0x9E && t.reg == 2;
            if (!t.read && (chipLimit || subLimit)) {
                char line[32];
                snprintf(line, sizeof line, "%02x %02x %d", t.address, t.reg, t.value);
                lines.push_back(line);
            }
        }
        return lines;
    }
};

TEST_F(AlarmLimitsTest, RequestSetsForEachCase) {
    using V = std::vector<std::string>;
    struct Row {
        const char* what;
        uint32_t adapter;
        uint32_t subsystem;
        int noFan;
        uint8_t fanStopped;
        V writes;
    };
    const Row rows[] = {
        {"9800 PRO, fan watched", 0x4E481002, 0x00021002, 0, 0,
         V{"5e 3b 241", "5e 39 70", "5e 3a 70", "92 02 70", "90 02 85"}},
        {"missing nofan counts as not set", 0x4E481002, 0x00021002, 0xFFFF, 0,
         V{"5e 3b 241", "5e 39 70", "5e 3a 70", "92 02 70", "90 02 85"}},
        {"third-party heatsink", 0x4E481002, 0x00021002, 1, 0,
         V{"5e 39 70", "5e 3a 70", "92 02 70", "90 02 85"}},
        {"fan stopped by the user", 0x4E481002, 0x00021002, 0, 1,
         V{"5e 39 70", "5e 3a 70", "92 02 70", "90 02 85"}},
        {"subsystem without TEMP1", 0x4E441002, 0x00F21D5A, 0, 0,
         V{"5e 3b 241", "92 02 70", "90 02 70"}},
        {"other adapter", 0x41501002, 0x00021002, 1, 0,
         V{"5e 39 70", "5e 3a 70", "92 02 70", "90 02 70"}},
    };
    for (const Row& row : rows) {
        g_nAdapterId = row.adapter;
        g_nSubsystemId = row.subsystem;
        g_nNoFan = row.noFan;
        g_bFanStopped = row.fanStopped;
        ApplyAlarmLimits();
        EXPECT_EQ(LimitWrites(), row.writes) << row.what;
    }
    EXPECT_EQ(m_machine->ChipRegister(0, 0x57) & 0x80, 0x80);
}

TEST_F(AlarmLimitsTest, MissingDriverMakesItANoOp) {
    host::UnloadDriver();
    ApplyAlarmLimits();
    EXPECT_TRUE(LimitWrites().empty());
}

class DividerTest : public DeviceTest {};

TEST_F(DividerTest, WorkedExample) {
    WritePll(0x0D, 0x00001502);  // engine post code 2
    WritePll(0x12, 0x00002703);  // memory post code 3
    EXPECT_EQ(ComposeClockDividers(0x12345678, 250, 200, 11), 0x1266A30Bu);
    EXPECT_TRUE(m_boxes.boxes.empty());
}

TEST_F(DividerTest, MemoryCodesOneAndTwoAgree) {
    WritePll(0x0D, 0x00001501);
    WritePll(0x12, 0x00002701);
    uint32_t one = ComposeClockDividers(0, 300, 300, 11);
    WritePll(0x12, 0x00002702);
    uint32_t two = ComposeClockDividers(0, 300, 300, 11);
    EXPECT_EQ(one, two);
    EXPECT_EQ((one >> 8) & 0xFF, (300u * 2 * 11 + 27) / 54);
    EXPECT_EQ((one >> 16) & 0xFF, (300u * 11 + 27) / 54);
}

TEST_F(DividerTest, ReferenceDividerStaysInItsByte) {
    WritePll(0x0D, 0x00001502);
    WritePll(0x12, 0x00002703);
    uint32_t word = ComposeClockDividers(0xAB000000, 250, 200, 0x10B);
    EXPECT_EQ(word & 0xFF, 0x0Bu);
    EXPECT_EQ(word & 0xFF000000, 0xAB000000u);
}

TEST_F(DividerTest, InvalidPostCodesShowTheirMessageAndKeepTheWord) {
    struct Row {
        uint32_t engineCode;
        uint32_t memoryCode;
        const char* message;  // null: composed
    };
    const Row rows[] = {
        {0, 3, "Not correct MCLK_POST!"},
        {5, 3, "Not correct MCLK_POST!"},
        {7, 0, "Not correct MCLK_POST!"},
        {4, 0, "Not correct XCLK_POST!"},
        {1, 5, "Not correct XCLK_POST!"},
        {2, 6, "Not correct XCLK_POST!"},
        {4, 4, nullptr},
    };
    for (const Row& row : rows) {
        m_boxes.boxes.clear();
        WritePll(0x0D, 0x00001500 | row.engineCode);
        WritePll(0x12, 0x00002700 | row.memoryCode);
        uint32_t word = ComposeClockDividers(0x12345678, 250, 200, 11);
        if (row.message == nullptr) {
            EXPECT_NE(word, 0x12345678u);
            EXPECT_TRUE(m_boxes.boxes.empty());
            continue;
        }
        EXPECT_EQ(word, 0x12345678u) << row.message;
        ASSERT_EQ(m_boxes.boxes.size(), 1u) << row.engineCode << " " << row.memoryCode;
        EXPECT_EQ(m_boxes.boxes[0].text, row.message);
        EXPECT_EQ(m_boxes.boxes[0].caption, "ZEL");
        EXPECT_EQ(m_boxes.boxes[0].flags, 0x10010u);
    }
}

TEST_F(DividerTest, UnreadablePllGivesTheEngineMessage) {
    host::UnloadDriver();
    EXPECT_EQ(ComposeClockDividers(0x12345678, 250, 200, 11), 0x12345678u);
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].text, "Not correct MCLK_POST!");
}

TEST(ProcessState, FanControlBoards) {
    struct Row {
        uint32_t adapter;
        uint32_t subsystem;
        bool expected;
    };
    const Row rows[] = {
        {0x59611002, 0, true},          {0x41501002, 0, true},
        {0x4E481002, 0, true},          {0x4E441002, 0x00F21D5A, true},
        {0x4E451002, 0x00121D5A, true}, {0x4E441002, 0x01021D5A, false},
        {0x4E451002, 0, false},         {0, 0, false},
    };
    for (const Row& row : rows) {
        g_nAdapterId = row.adapter;
        g_nSubsystemId = row.subsystem;
        EXPECT_EQ(IsFanControlBoard(), row.expected) << std::hex << row.adapter;
    }
    g_nAdapterId = 0;
    g_nSubsystemId = 0;
}

}  // namespace
