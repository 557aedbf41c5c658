// The adapter's hardware I2C engine: control 0, control 1 and data, with a transmit FIFO and a
// status that answers busy for a configurable number of polls. Register semantics are described
// in machine.h. The engine knows nothing about ports; the machine maps the family's ports or
// adapter registers onto these calls.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sim/board_catalogue.h"
#include "sim/i2c_device.h"
#include "sim/trace.h"

namespace sim {

class I2cEngine {
public:
    struct Hooks {
        std::function<I2cDevice*(uint8_t address)> findDevice;  // 8-bit write address
        std::function<void(const std::string&)> violation;
        std::function<void(const I2cTransaction&)> log;
    };

    static constexpr uint32_t kStatusDone = 1;
    static constexpr uint32_t kStatusNoAck = 2;
    static constexpr uint32_t kStatusHalted = 4;
    static constexpr uint32_t kGo = 0x1000;
    static constexpr uint32_t kReceive = 0x0400;
    static constexpr uint32_t kSoftReset = 0x20;
    static constexpr uint32_t kBusSelect = 0x10;
    static constexpr uint32_t kModeWrite = 0x28030012;
    static constexpr uint32_t kModeRead = 0x28030011;
    static constexpr size_t kFifoDepth = 16;

    I2cEngine(I2cFamily family, Hooks hooks);

    void WriteControl0(uint32_t value);
    uint32_t ReadControl0();
    void WriteControl1(uint32_t value);
    uint32_t ReadControl1() const { return m_control1; }
    void WriteData(uint32_t value);
    uint32_t ReadData() const { return m_received; }

    // Faults.
    void SetNackOnTransaction(int n) { m_nackCountdown = n > 0 ? n : 0; }
    void SetNackEvery(int k);
    void SetStuckBusy(bool stuck) { m_stuckBusy = stuck; }
    void SetHalt(bool halt) { m_halt = halt; }
    void SetBusyPolls(int n) { m_busyPolls = n > 0 ? n : 0; }

private:
    enum class Phase { idle, busy };

    // What a started phase does on the bus once it has run its course.
    enum class Work { none, address, receive };

    void Go(uint32_t word);
    void Finish(uint32_t status);
    // A stuck or halted engine ends the phase at once, logged with why; true when it did.
    bool EndedByFault(I2cTransaction& transaction);
    void Start(Work work, const I2cTransaction& transaction, bool injectedNack);
    uint32_t Complete();
    void Abandon();
    bool TakeInjectedNack();
    void Fail(uint32_t status, const std::string& why, bool isViolation);
    void FlushPendingRead(const char* why);

    I2cFamily m_family;
    Hooks m_hooks;

    uint32_t m_control0 = 0;  // last word written, go bit cleared
    uint32_t m_control1 = 0;
    uint32_t m_received = 0;
    std::vector<uint8_t> m_fifo;

    uint32_t m_status = 0;       // bits 2-0 once the phase has finished
    uint32_t m_finalStatus = 0;  // status the running phase will end with
    bool m_busy = false;
    int m_pollsLeft = 0;
    bool m_statusCleared = true;  // since the last phase ended

    // The phase in flight: carried out on the bus only when a status read finds it finished.
    Work m_work = Work::none;
    I2cTransaction m_transaction{};
    bool m_injectedNack = false;

    // The register phase of a read waits here for its receive phase.
    bool m_readPending = false;
    uint8_t m_readAddress = 0;
    uint8_t m_readRegister = 0;

    int m_nackCountdown = 0;
    int m_nackEvery = 0;
    int m_transactionCount = 0;
    bool m_stuckBusy = false;
    bool m_halt = false;
    int m_busyPolls = 1;
};

}  // namespace sim
