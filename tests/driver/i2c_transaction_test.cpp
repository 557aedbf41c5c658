// The two I2C transactions on both engine variants, compared port access by port access with
// what the adapter's engine must be given, and the poll loop's limits.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver/kestati.h"
#include "driver/monitorchip.h"
#include "tests/driver/driver_fixture.h"

namespace kest_test {
namespace {

// Builds an expected port sequence relative to the I/O window.
class Expected {
public:
    explicit Expected(uint32_t ioBase) : m_base(ioBase) {}
    Expected& Out32(uint32_t offset, uint32_t value, int times = 1) {
        for (int i = 0; i < times; ++i) {
            m_lines.push_back("out32 " + Hex(m_base + offset) + " " + Hex(value));
        }
        return *this;
    }
    Expected& Out8(uint32_t offset, uint32_t value) {
        m_lines.push_back("out8 " + Hex(m_base + offset) + " " + Hex(value));
        return *this;
    }
    Expected& In32(uint32_t offset, int times = 1) {
        for (int i = 0; i < times; ++i) {
            m_lines.push_back("in32 " + Hex(m_base + offset));
        }
        return *this;
    }
    // Indexed adapter register access through +0/+4.
    Expected& Index(uint32_t reg) { return Out32(0, reg); }
    Expected& Data(uint32_t value, int times = 1) { return Out32(4, value, times); }
    Expected& IndexedPoll(int rounds) {
        for (int i = 0; i < rounds; ++i) {
            Index(0x2E0).In32(4);
        }
        return *this;
    }
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    uint32_t m_base;
    std::vector<std::string> m_lines;
};

constexpr int kBusyPolls = 2;
constexpr int kRounds = kBusyPolls + 1;  // busy, busy, done

class TransactionTest : public DriverTest {
protected:
    void Prepare(const char* board) {
        Load(board);
        m_machine->SetBusyPolls(kBusyPolls);
        StartRecording();
    }
};

TEST_F(TransactionTest, DirectWriteSendsAddressAndRegisterAsBytesAndValueAsDword) {
    Prepare("9800pro");
    ASSERT_EQ(I2cWriteByte(IoBase(), 0x5E, 0x3B, 0x80), 0);
    Expected e(IoBase());
    e.Out32(0x90, 0).Out32(0x94, 0).Out32(0x98, 0, 16);
    e.Out32(0x90, 0x14140327).Out32(0x94, 0x28030012);
    e.Out8(0x98, 0x5E).Out8(0x98, 0x3B).Out32(0x98, 0x80);
    e.Out32(0x90, 0x14141300).In32(0x90, kRounds);
    EXPECT_EQ(PortTrace(), e.Lines());
    EXPECT_EQ(m_machine->ChipRegister(0, 0x3B), 0x80);
}

TEST_F(TransactionTest, DirectReadRunsAddressPhaseThenReceivePhase) {
    Prepare("9700pro");
    const LONG value = I2cReadByte(IoBase(), 0x5F, 0x4A);
    Expected e(IoBase());
    e.Out32(0x90, 0).Out32(0x94, 0).Out32(0x98, 0, 16);
    e.Out32(0x90, 0x14140327).Out32(0x94, 0x28030011).Out32(0x98, 0x5E).Out32(0x98, 0x4A);
    e.Out32(0x90, 0x14141300).In32(0x90, kRounds);
    e.Out32(0x90, 0).Out32(0x94, 0).Out32(0x98, 0, 16);
    e.Out32(0x90, 0x27).Out32(0x90, 0x10).Out32(0x94, 0x28030011).Out32(0x98, 0x5F);
    e.Out32(0x90, 0x14141700).In32(0x90, kRounds);
    e.In32(0x98);
    EXPECT_EQ(PortTrace(), e.Lines());
    EXPECT_EQ(value, 0x01);
}

TEST_F(TransactionTest, IndexedWriteGoesThroughAdapterRegisters) {
    Prepare("9600pro");
    ASSERT_EQ(I2cWriteByte(IoBase(), 0x5E, 0x3B, 0x40), 0);
    Expected e(IoBase());
    e.Index(0x2E8).Data(0, 16);
    e.Index(0x2E0).In32(4);
    e.Index(0x2E0).Data(0x14140337).Index(0x2E4).Data(0x28030012);
    e.Index(0x2E8).Data(0x5E).Data(0x3B).Data(0x40);
    e.Index(0x2E0).Data(0x14141310).IndexedPoll(kRounds);
    EXPECT_EQ(PortTrace(), e.Lines());
    EXPECT_EQ(m_machine->ChipRegister(0, 0x3B), 0x40);
}

TEST_F(TransactionTest, IndexedReadRunsBothPhasesAndReadsDataLast) {
    Prepare("9200");
    const LONG value = I2cReadByte(IoBase(), 0x5F, 0x4A);
    Expected e(IoBase());
    e.Index(0x2E8).Data(0, 16);
    e.Index(0x2E0).In32(4);
    e.Index(0x2E0).Data(0x14140337).Index(0x2E4).Data(0x28030011);
    e.Index(0x2E8).Data(0x5E).Data(0x4A);
    e.Index(0x2E0).Data(0x14141310).IndexedPoll(kRounds);
    e.Index(0x2E8).Data(0, 16);
    e.Index(0x2E0).Data(0x37).Data(0x10).Index(0x2E4).Data(0x28030011);
    e.Index(0x2E8).Data(0x5F);
    e.Index(0x2E0).Data(0x14141710).IndexedPoll(kRounds);
    e.Index(0x2E8).In32(4);
    EXPECT_EQ(PortTrace(), e.Lines());
    EXPECT_EQ(value, 0x01);
}

TEST_F(TransactionTest, StuckEngineEndsAfterExactlyTheRoundLimit) {
    Prepare("9800pro");
    m_machine->SetEngineStuckBusy(true);
    host::ResetCounters();
    EXPECT_EQ(I2cReadByte(IoBase(), 0x5F, 0x58), -1);
    const std::vector<std::string> trace = PortTrace();
    const std::string statusRead = Expected(IoBase()).In32(0x90).Lines().front();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), statusRead), 65535);
    EXPECT_EQ(host::Counters().delayCalls, 65535u);
    EXPECT_EQ(host::MutexAcquisitions(&g_DeviceMutex), 1u);
    EXPECT_FALSE(host::MutexOwnedByCurrentThread(&g_DeviceMutex));
}

TEST_F(TransactionTest, EachPollRoundDelaysUntilATimeLongPast) {
    Prepare("9600pro");
    host::ResetCounters();
    ASSERT_EQ(I2cWriteByte(IoBase(), 0x5E, 0x43, 0xFF), 0);
    const host::KernelCounters counters = host::Counters();
    EXPECT_EQ(counters.delayCalls, static_cast<uint64_t>(kRounds));
    // A positive interval is an absolute time, so the call returns at once.
    EXPECT_EQ(counters.lastDelayInterval, 20);
    EXPECT_EQ(counters.lastDelayMode, KernelMode);
    EXPECT_TRUE(counters.lastDelayAlertable);
}

TEST_F(TransactionTest, NoAcknowledgeOnTheFirstRoundFailsAtOnce) {
    Prepare("9800pro");
    m_machine->SetBusyPolls(0);
    m_machine->SetChipPresent(false);
    host::ResetCounters();
    EXPECT_EQ(I2cWriteByte(IoBase(), 0x5E, 0x5B, 0x10), -1);
    EXPECT_EQ(host::Counters().delayCalls, 1u);
    const std::vector<std::string> trace = PortTrace();
    const std::string statusRead = Expected(IoBase()).In32(0x90).Lines().front();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), statusRead), 1);
    EXPECT_EQ(trace.back(), statusRead);
}

TEST_F(TransactionTest, HaltedEngineFailsTheTransaction) {
    Prepare("9600pro");
    m_machine->SetHaltBit(true);
    EXPECT_EQ(I2cReadByte(IoBase(), 0x5F, 0x58), -1);
    EXPECT_EQ(I2cWriteByte(IoBase(), 0x5E, 0x5B, 0x10), -1);
}

TEST_F(TransactionTest, FailedDelayCallFailsTheTransactionAndReleasesTheMutex) {
    Prepare("9800pro");
    host::InjectDelayFailure(static_cast<int32_t>(0xC0000001));
    EXPECT_EQ(I2cReadByte(IoBase(), 0x5F, 0x4A), -1);
    EXPECT_FALSE(host::MutexOwnedByCurrentThread(&g_DeviceMutex));
    EXPECT_EQ(I2cReadByte(IoBase(), 0x5F, 0x4A), 0x01);
    // The phase left running is cut short by the next transaction's first control word; it never
    // reached the chip, and nothing about it was malformed.
    EXPECT_EQ(I2cTrace(), (std::vector<std::string>{"r 5e 4a abandoned", "r 5e 4a"}));
}

TEST_F(TransactionTest, FailedMutexWaitTouchesNoPort) {
    Prepare("9800pro");
    host::InjectMutexWaitFailure(static_cast<int32_t>(0xC0000001));
    EXPECT_EQ(I2cWriteByte(IoBase(), 0x5E, 0x5B, 0x10), -1);
    EXPECT_TRUE(PortTrace().empty());
    EXPECT_EQ(host::MutexDepth(&g_DeviceMutex), 0);
}

TEST_F(TransactionTest, MissingWindowOrUnsupportedAdapterRefusesWithoutPortAccess) {
    Prepare("9800pro");
    EXPECT_EQ(I2cReadByte(0xFFFFFFFF, 0x5F, 0x58), -1);
    const ULONG saved = g_AdapterId;
    g_AdapterId = 0x4E461002;
    EXPECT_EQ(I2cReadByte(IoBase(), 0x5F, 0x58), -1);
    g_AdapterId = saved;
    EXPECT_TRUE(PortTrace().empty());
}

}  // namespace
}  // namespace kest_test
