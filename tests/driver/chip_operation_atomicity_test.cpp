// Chip operations sent by several clients at once: a bank select and the access it prepares (or a
// read and the write built on it) are never split by another operation's transactions, so no
// client ever gets a register of the wrong bank reported as a good reading.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "driver/kestati.h"
#include "tests/driver/driver_fixture.h"

namespace kest_test {
namespace {

struct Operation {
    uint32_t code;
    uint32_t input;  // sent when the request takes one
    bool hasInput;
};

// Every request whose chip operation selects a bank, and the start-up run by re-initialisation.
const Operation kBankOperations[] = {
    {IOCTL_READ_IN7, 0, false},          {IOCTL_READ_IN8, 0, false},
    {IOCTL_READ_TEMP1, 0, false},        {IOCTL_READ_TEMP2, 0, false},
    {IOCTL_READ_TEMP3, 0, false},        {IOCTL_READ_CHIP_ID, 0, false},
    {IOCTL_GET_FAN_DRIVE, 0, false},     {IOCTL_READ_BANK0_REG, 0x5B, true},
    {IOCTL_READ_BANK1_REG, 0x50, true},  {IOCTL_READ_BANK2_REG, 0x51, true},
    {IOCTL_READ_BANK3_REG, 0x52, true},  {IOCTL_READ_BANK4_REG, 0x53, true},
    {IOCTL_READ_BANK5_REG, 0x50, true},  {IOCTL_READ_BANK6_REG, 0x57, true},
    {IOCTL_SET_FAN_DRIVE, 0xC0, true},   {IOCTL_SET_FAN1_LIMIT, 2800, true},
    {IOCTL_SET_TEMP1_LIMIT, 70, true},   {IOCTL_SET_TEMP2_LIMIT, 75, true},
    {IOCTL_SET_TEMP3_LIMIT, 80, true},   {IOCTL_SET_IN1_LIMIT_A, 1400, true},
    {IOCTL_SET_IN1_LIMIT_B, 1600, true}, {IOCTL_SET_IN2_LIMIT_A, 1400, true},
    {IOCTL_SET_IN2_LIMIT_B, 1600, true}, {IOCTL_SET_IN5_LIMIT_A, 3100, true},
    {IOCTL_SET_IN5_LIMIT_B, 3500, true}, {IOCTL_SET_IN6_LIMIT_A, 2400, true},
    {IOCTL_SET_IN6_LIMIT_B, 2600, true}, {IOCTL_SET_IN7_LIMIT_A, 1700, true},
    {IOCTL_SET_IN7_LIMIT_B, 1900, true}, {IOCTL_SET_IN8_LIMIT_A, 2400, true},
    {IOCTL_SET_IN8_LIMIT_B, 2600, true}, {IOCTL_ALARMS_OFF, 0, false},
    {IOCTL_ALARMS_ON, 0, false},         {IOCTL_REINIT_MONITOR, 0, false},
};
constexpr size_t kOperationCount = sizeof(kBankOperations) / sizeof(kBankOperations[0]);

// One client's request on its own handle; true when it completed with success.
bool SendOn(int handle, const Operation& op, MonitorReadings* readings) {
    uint32_t information = 0;
    return host::DeviceControl(handle, op.code, op.hasInput ? &op.input : nullptr,
                               op.hasInput ? 4u : 0u, readings, sizeof(*readings),
                               &information) == 0;
}

void RunClients(int threads, const std::function<void(int, int)>& client) {
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&client, t] {
            int32_t status = 0;
            const int handle = host::OpenDevice(KEST_USER_PATH, &status);
            client(t, handle);
            host::CloseDevice(handle);
        });
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
}

// A transaction as the board saw it. Written values that depend on what another operation left
// in the chip are dropped; the bank a select writes is kept, since that is what must not be
// split from the access it prepares.
std::string Shape(const sim::I2cTransaction& t) {
    std::string line = std::string(t.read ? "r " : "w ") + Hex(t.address) + " " + Hex(t.reg);
    if (!t.read && t.address == 0x5E && t.reg == 0x4E) {
        line += " " + Hex(t.value);
    }
    if (t.outcome != sim::I2cOutcome::acknowledged) {
        line += std::string(" ") + sim::OutcomeName(t.outcome);
    }
    return line;
}

std::vector<std::string> Shapes(const std::vector<sim::I2cTransaction>& log) {
    std::vector<std::string> shapes;
    for (const sim::I2cTransaction& t : log) {
        shapes.push_back(Shape(t));
    }
    return shapes;
}

// True when `log` is a run of whole operations, each one of `operations`, end to end.
bool IsRunOfWholeOperations(const std::vector<std::string>& log,
                            const std::vector<std::vector<std::string>>& operations) {
    std::vector<bool> wholeFrom(log.size() + 1, false);
    wholeFrom[log.size()] = true;
    for (size_t i = log.size(); i-- > 0;) {
        for (const std::vector<std::string>& op : operations) {
            if (!op.empty() && i + op.size() <= log.size() && wholeFrom[i + op.size()] &&
                std::equal(op.begin(), op.end(), log.begin() + static_cast<long>(i))) {
                wholeFrom[i] = true;
                break;
            }
        }
    }
    return wholeFrom[0];
}

class ChipOperationAtomicityTest : public DriverTest {};

TEST_F(ChipOperationAtomicityTest, NoOperationsTransactionsInterleaveWithAnothers) {
    for (const char* board : {"9800pro", "9600pro"}) {
        SCOPED_TRACE(board);
        Load(board);
        // Each operation alone, twice so that the second run sees the state the first one left.
        std::vector<std::vector<std::string>> alone;
        for (const Operation& op : kBankOperations) {
            MonitorReadings readings = {};
            ASSERT_TRUE(SendOn(m_handle, op, &readings)) << Hex(op.code);
            m_machine->TakeI2cLog();
            ASSERT_TRUE(SendOn(m_handle, op, &readings)) << Hex(op.code);
            alone.push_back(Shapes(m_machine->TakeI2cLog()));
        }

        // Every client walks the whole list from its own starting point, so each operation runs
        // beside every other one.
        constexpr int kClients = 4;
        constexpr int kRounds = 3;
        std::atomic<int> failures{0};
        host::ResetCounters();
        RunClients(kClients, [&](int t, int handle) {
            for (int round = 0; round < kRounds; ++round) {
                for (size_t i = 0; i < kOperationCount; ++i) {
                    const Operation& op = kBankOperations[(i + t * 9) % kOperationCount];
                    MonitorReadings readings = {};
                    if (!SendOn(handle, op, &readings)) {
                        ++failures;
                    }
                }
            }
        });

        EXPECT_EQ(failures.load(), 0);
        const std::vector<sim::I2cTransaction> log = m_machine->TakeI2cLog();
        size_t expected = 0;
        for (const std::vector<std::string>& op : alone) {
            expected += op.size() * kClients * kRounds;
        }
        EXPECT_EQ(log.size(), expected);
        EXPECT_TRUE(IsRunOfWholeOperations(Shapes(log), alone));
        // Still one device-mutex acquisition per transaction.
        EXPECT_EQ(host::MutexAcquisitions(&g_DeviceMutex), log.size());

        host::CloseDevice(m_handle);
        m_handle = -1;
        host::UnloadDriver();
    }
}

TEST_F(ChipOperationAtomicityTest, ConcurrentIn7AndIn8ReadingsNeverComeFromTheWrongBank) {
    for (const char* board : {"9800pro", "9600pro"}) {
        SCOPED_TRACE(board);
        Load(board);
        m_machine->PinSensor(sim::Sensor::in7, 1504);
        m_machine->PinSensor(sim::Sensor::in8, 3296);

        std::atomic<int> wrong{0};
        std::atomic<int> failed{0};
        std::atomic<int> good{0};
        RunClients(6, [&](int t, int handle) {
            const bool in7 = t % 2 == 0;
            const Operation op = {in7 ? IOCTL_READ_IN7 : IOCTL_READ_IN8, 0, false};
            for (int i = 0; i < 500; ++i) {
                MonitorReadings readings = {};
                if (!SendOn(handle, op, &readings)) {
                    ++failed;
                } else if ((in7 ? readings.in7 : readings.in8) != (in7 ? 1504u : 3296u)) {
                    ++wrong;
                } else {
                    ++good;
                }
            }
        });
        EXPECT_EQ(wrong.load(), 0);
        EXPECT_EQ(failed.load(), 0);
        EXPECT_EQ(good.load(), 3000);

        host::CloseDevice(m_handle);
        m_handle = -1;
        host::UnloadDriver();
    }
}

}  // namespace
}  // namespace kest_test
