#include "sim/i2c_engine.h"

#include <cstdio>
#include <utility>

#include "sim/hex.h"

namespace sim {

namespace {

constexpr uint32_t kTimingMask = 0xFFFF0000;
constexpr uint32_t kTiming = 0x14140000;
constexpr uint32_t kStartStop = 0x0300;
constexpr uint32_t kStatusBits = 0x7;

}  // namespace

I2cEngine::I2cEngine(I2cFamily family, Hooks hooks) : m_family(family), m_hooks(std::move(hooks)) {}

void I2cEngine::SetNackEvery(int k) {
    m_nackEvery = k > 0 ? k : 0;
    m_transactionCount = 0;
}

void I2cEngine::WriteControl0(uint32_t value) {
    if (value & kGo) {
        Go(value);
        return;
    }
    const uint32_t known = kTimingMask | kStartStop | kSoftReset | kBusSelect | kStatusBits;
    const uint32_t timing = value & kTimingMask;
    if ((value & ~known) != 0 || (timing != 0 && timing != kTiming)) {
        m_hooks.violation("i2c: control 0 written with unknown bits: " + Hex(value));
    }
    const bool wantBusSelect = m_family == I2cFamily::indexed;
    if ((value & kSoftReset) && ((value & kBusSelect) != 0) != wantBusSelect) {
        m_hooks.violation("i2c: control 0 set-up " + Hex(value) +
                          (wantBusSelect ? " leaves the monitor bus unselected"
                                         : " selects a bus this engine does not have"));
    }
    // Any word without the go bit abandons a transfer still running.
    Abandon();
    if (value & kSoftReset) {
        m_fifo.clear();
        m_status = 0;
        m_received = 0;
    }
    m_status &= ~(value & kStatusBits);
    if (m_status == 0) {
        m_statusCleared = true;
    }
    m_control0 = value;
}

uint32_t I2cEngine::ReadControl0() {
    if (m_busy && !m_stuckBusy) {
        if (m_pollsLeft > 0) {
            --m_pollsLeft;
        } else {
            m_busy = false;
            m_status = m_work == Work::none ? m_finalStatus : Complete();
        }
    }
    return (m_control0 & ~kStatusBits) | (m_busy ? 0 : m_status);
}

void I2cEngine::WriteControl1(uint32_t value) {
    if (value != 0 && value != kModeWrite && value != kModeRead) {
        m_hooks.violation("i2c: control 1 written with " + Hex(value));
    }
    m_control1 = value;
}

void I2cEngine::WriteData(uint32_t value) {
    if (m_fifo.size() >= kFifoDepth) {
        m_hooks.violation("i2c: transmit FIFO overflow, byte " + Hex(value & 0xFF) + " dropped");
        return;
    }
    m_fifo.push_back(static_cast<uint8_t>(value & 0xFF));
}

void I2cEngine::Finish(uint32_t status) {
    m_busy = true;
    m_finalStatus = status;
    m_pollsLeft = m_busyPolls;
    m_statusCleared = false;
    m_status = 0;
    m_work = Work::none;
}

void I2cEngine::Start(Work work, const I2cTransaction& transaction, bool injectedNack) {
    Finish(0);
    m_work = work;
    m_transaction = transaction;
    m_injectedNack = injectedNack;
}

// The phase has had its time on the bus: the device sees it now, and the status says how it went.
uint32_t I2cEngine::Complete() {
    const Work work = m_work;
    m_work = Work::none;
    I2cTransaction& t = m_transaction;
    if (work == Work::address) {
        I2cDevice* device = m_injectedNack ? nullptr : m_hooks.findDevice(t.address);
        if (device == nullptr) {
            t.outcome = I2cOutcome::noAcknowledge;
            t.detail =
                m_injectedNack ? "injected no-acknowledge" : "no device at " + Hex(t.address);
            m_hooks.log(t);
            return kStatusNoAck;
        }
        if (!device->SelectRegister(t.reg)) {
            t.outcome = I2cOutcome::noAcknowledge;
            t.detail = "register " + Hex(t.reg) + " refused";
            m_hooks.log(t);
            return kStatusNoAck;
        }
        if (t.read) {
            // Logged with its receive phase.
            m_readPending = true;
            m_readAddress = t.address;
            m_readRegister = t.reg;
            return kStatusDone;
        }
        if (!device->WriteSelected(t.value)) {
            t.outcome = I2cOutcome::noAcknowledge;
            t.detail = "data byte refused";
            m_hooks.log(t);
            return kStatusNoAck;
        }
        m_hooks.log(t);
        return kStatusDone;
    }
    I2cDevice* device = m_hooks.findDevice(t.address);
    uint8_t value = 0;
    if (device == nullptr || !device->ReadSelected(value)) {
        t.outcome = I2cOutcome::noAcknowledge;
        t.detail = device == nullptr ? "no device at " + Hex(t.address) : "read refused";
        m_hooks.log(t);
        return kStatusNoAck;
    }
    m_received = value;
    t.value = value;
    m_hooks.log(t);
    return kStatusDone;
}

// A phase cut short never reaches its device: no register pointer, no byte written or received.
void I2cEngine::Abandon() {
    if (m_busy && m_work != Work::none) {
        I2cTransaction t = m_transaction;
        t.outcome = I2cOutcome::abandoned;
        t.detail = "control 0 rewritten before the phase finished";
        m_hooks.log(t);
    }
    m_work = Work::none;
    m_busy = false;
}

bool I2cEngine::TakeInjectedNack() {
    bool nack = false;
    if (m_nackCountdown > 0 && --m_nackCountdown == 0) {
        nack = true;
    }
    if (m_nackEvery > 0 && ++m_transactionCount % m_nackEvery == 0) {
        nack = true;
    }
    return nack;
}

void I2cEngine::FlushPendingRead(const char* why) {
    if (!m_readPending) {
        return;
    }
    m_readPending = false;
    m_hooks.violation(std::string("i2c: ") + why);
    m_hooks.log({true, m_readAddress, m_readRegister, 0, I2cOutcome::acknowledged, why});
}

void I2cEngine::Go(uint32_t word) {
    const bool indexed = m_family == I2cFamily::indexed;
    const uint32_t addressGo = indexed ? 0x14141310 : 0x14141300;
    const uint32_t receiveGo = indexed ? 0x14141710 : 0x14141700;
    std::vector<uint8_t> fifo;
    fifo.swap(m_fifo);  // the engine latches what it is about to send

    if (m_busy) {
        m_hooks.violation("i2c: go " + Hex(word) + " while a transfer is still running");
        return;
    }
    m_control0 = word & ~kGo;

    auto fail = [&](bool read, const std::string& why) {
        m_hooks.violation("i2c: " + why);
        const uint8_t address = fifo.size() > 0 ? static_cast<uint8_t>(fifo[0] & 0xFE) : 0;
        const uint8_t reg = fifo.size() > 1 ? fifo[1] : 0;
        m_hooks.log({read, address, reg, 0, I2cOutcome::halted, why});
        m_readPending = false;
        Finish(kStatusHalted);
    };

    if (word != addressGo && word != receiveGo) {
        fail(false, "go word " + Hex(word) + " is not a valid start");
        return;
    }
    if (!m_statusCleared) {
        fail(word == receiveGo, "go without clearing the previous status");
        return;
    }

    if (word == addressGo) {
        FlushPendingRead("register pointer set for a read that never received");
        const bool read = m_control1 == kModeRead;
        if (m_control1 != kModeWrite && m_control1 != kModeRead) {
            fail(false, "address phase with control 1 = " + Hex(m_control1));
            return;
        }
        const size_t expected = read ? 2 : 3;
        if (fifo.size() != expected) {
            fail(read, std::string("register ") + (read ? "read" : "write") + " needs " +
                           std::to_string(expected) + " bytes in the FIFO, found " +
                           std::to_string(fifo.size()));
            return;
        }
        if (fifo[0] & 1) {
            fail(read, "address phase sent read address " + Hex(fifo[0]));
            return;
        }
        I2cTransaction t{
            read, fifo[0], fifo[1], read ? uint8_t{0} : fifo[2], I2cOutcome::acknowledged, ""};
        const bool injected = TakeInjectedNack();
        if (EndedByFault(t)) {
            return;
        }
        Start(Work::address, t, injected);
        return;
    }

    // Receive phase: a repeated start with the read address of the device just addressed.
    if (m_control1 != kModeRead) {
        fail(true, "receive phase with control 1 = " + Hex(m_control1));
        return;
    }
    if (fifo.size() != 1 || (fifo[0] & 1) == 0) {
        fail(true, "receive phase needs exactly the read address in the FIFO, found " +
                       std::to_string(fifo.size()) + " byte(s)");
        return;
    }
    if (!m_readPending) {
        fail(true, "receive phase without a register phase before it");
        return;
    }
    if ((fifo[0] & 0xFE) != m_readAddress) {
        fail(true, "receive from " + Hex(fifo[0]) + " after addressing " + Hex(m_readAddress));
        return;
    }
    m_readPending = false;
    I2cTransaction t{true, m_readAddress, m_readRegister, 0, I2cOutcome::acknowledged, ""};
    if (EndedByFault(t)) {
        return;
    }
    Start(Work::receive, t, false);
}

bool I2cEngine::EndedByFault(I2cTransaction& t) {
    if (m_stuckBusy) {
        t.outcome = I2cOutcome::stuckBusy;
        t.detail = "engine stuck busy";
        m_hooks.log(t);
        Finish(0);
        return true;
    }
    if (m_halt) {
        t.outcome = I2cOutcome::halted;
        t.detail = "halt bit set";
        m_hooks.log(t);
        Finish(kStatusHalted);
        return true;
    }
    return false;
}

}  // namespace sim
