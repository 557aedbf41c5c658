// Several requests at once, as several client threads send them: each completes correctly, and
// the device mutex is held around every I2C engine access and around nothing else.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "driver/kestati.h"
#include "tests/driver/driver_fixture.h"

namespace kest_test {
namespace {

// Sits between the emulated kernel and the machine and checks the lock discipline on each access.
class LockCheckingBus : public PortBus {
public:
    LockCheckingBus(PortBus& inner, uint32_t ioBase) : m_inner(inner), m_ioBase(ioBase) {}

    uint8_t ReadPort8(uint32_t port) override {
        Check(port);
        return m_inner.ReadPort8(port);
    }
    uint32_t ReadPort32(uint32_t port) override {
        Check(port);
        return m_inner.ReadPort32(port);
    }
    void WritePort8(uint32_t port, uint8_t value) override {
        Check(port);
        m_inner.WritePort8(port, value);
    }
    void WritePort32(uint32_t port, uint32_t value) override {
        Check(port);
        m_inner.WritePort32(port, value);
    }

    std::atomic<int> engineAccessesWithoutLock{0};
    std::atomic<int> nestedLock{0};
    std::atomic<int> otherAccessesUnderLock{0};

private:
    void Check(uint32_t port) {
        const bool owned = host::MutexOwnedByCurrentThread(&g_DeviceMutex);
        // Direct engine ports and the register index/data pair (the indexed engine) need it; the
        // configuration ports and the PLL pair must run without it.
        const uint32_t offset = port - m_ioBase;
        const bool engine =
            port >= m_ioBase && (offset <= 0x04 || (offset >= 0x90 && offset <= 0x98));
        if (engine && !owned) {
            ++engineAccessesWithoutLock;
        }
        if (owned && host::MutexDepth(&g_DeviceMutex) != 1) {
            ++nestedLock;
        }
        if (!engine && owned) {
            ++otherAccessesUnderLock;
        }
    }
    PortBus& m_inner;
    uint32_t m_ioBase;
};

class ConcurrencyTest : public DriverTest {};

void RunClients(int threads, int rounds, const std::function<void(int)>& client) {
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&, t] {
            for (int i = 0; i < rounds; ++i) {
                client(t);
            }
        });
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
}

TEST_F(ConcurrencyTest, ParallelRequestsCompleteAndTheLockCoversExactlyOneTransaction) {
    for (const char* board : {"9800pro", "9600pro"}) {
        SCOPED_TRACE(board);
        Load(board);
        LockCheckingBus checker(*m_machine, IoBase());
        host::AttachPortBus(&checker);
        m_machine->PinSensor(sim::Sensor::fan1, 2647);
        host::ResetCounters();
        m_machine->TakeI2cLog();

        std::atomic<int> failures{0};
        RunClients(4, 25, [&](int t) {
            int32_t status = 0;
            const int handle = host::OpenDevice(KEST_USER_PATH, &status);
            if (handle < 0) {
                ++failures;
                return;
            }
            MonitorReadings readings = {};
            uint32_t information = 0;
            // Register reads without a bank select stay correct under any interleaving.
            const uint32_t code = t % 2 == 0 ? IOCTL_READ_FAN1 : IOCTL_READ_CHIP_ID;
            const int32_t result = host::DeviceControl(handle, code, nullptr, 0, &readings,
                                                       sizeof(readings), &information);
            if (result != 0 || information != 56) {
                ++failures;
            } else if (code == IOCTL_READ_FAN1 && readings.fan1Rpm != 2647) {
                ++failures;
            }
            AdapterInfo info = {};
            if (host::DeviceControl(handle, IOCTL_GET_ADAPTER_INFO, nullptr, 0, &info, sizeof(info),
                                    &information) != 0 ||
                info.pciId != m_machine->Board().pciId) {
                ++failures;
            }
            host::CloseDevice(handle);
        });

        EXPECT_EQ(failures.load(), 0);
        EXPECT_EQ(checker.engineAccessesWithoutLock.load(), 0);
        EXPECT_EQ(checker.nestedLock.load(), 0);
        EXPECT_EQ(checker.otherAccessesUnderLock.load(), 0);
        // One acquisition per transaction: the chip id read is a bank select (2) plus a read.
        const uint64_t transactions = m_machine->TakeI2cLog().size();
        EXPECT_EQ(host::MutexAcquisitions(&g_DeviceMutex), transactions);
        EXPECT_EQ(transactions, 2u * 25u * (1u + 3u));

        host::AttachPortBus(m_machine.get());
        host::CloseDevice(m_handle);
        m_handle = -1;
        host::UnloadDriver();
    }
}

}  // namespace
}  // namespace kest_test
