// A port bus that passes every access on and, while recording, keeps it with the value the
// caller got: what the driver itself did, whichever bus is behind.
#pragma once

#include <mutex>
#include <vector>

#include "sim/port_bus.h"
#include "sim/trace.h"

namespace kest_test {

class RecordingPortBus : public PortBus {
public:
    explicit RecordingPortBus(PortBus& next) : m_next(next) {}

    uint8_t ReadPort8(uint32_t port) override {
        const uint8_t value = m_next.ReadPort8(port);
        Keep(sim::In8(port, value));
        return value;
    }
    uint32_t ReadPort32(uint32_t port) override {
        const uint32_t value = m_next.ReadPort32(port);
        Keep(sim::In32(port, value));
        return value;
    }
    void WritePort8(uint32_t port, uint8_t value) override {
        Keep(sim::Out8(port, value));
        m_next.WritePort8(port, value);
    }
    void WritePort32(uint32_t port, uint32_t value) override {
        Keep(sim::Out32(port, value));
        m_next.WritePort32(port, value);
    }

    // Starts recording afresh.
    void Start() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_recording = true;
        m_accesses.clear();
    }
    std::vector<sim::PortAccess> Take() {
        std::lock_guard<std::mutex> guard(m_lock);
        return std::move(m_accesses);
    }

private:
    void Keep(const sim::PortAccess& access) {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_recording) {
            m_accesses.push_back(access);
        }
    }

    PortBus& m_next;
    std::mutex m_lock;
    bool m_recording = false;
    std::vector<sim::PortAccess> m_accesses;
};

}  // namespace kest_test
