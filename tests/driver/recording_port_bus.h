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
        return static_cast<uint8_t>(Keep(sim::In8(port, m_next.ReadPort8(port))));
    }
    uint32_t ReadPort32(uint32_t port) override {
        return Keep(sim::In32(port, m_next.ReadPort32(port)));
    }
    void WritePort8(uint32_t port, uint8_t value) override {
        m_next.WritePort8(port, static_cast<uint8_t>(Keep(sim::Out8(port, value))));
    }
    void WritePort32(uint32_t port, uint32_t value) override {
        m_next.WritePort32(port, Keep(sim::Out32(port, value)));
    }

    void Start() {  // recording afresh
        std::lock_guard<std::mutex> guard(m_lock);
        m_recording = true;
        m_accesses.clear();
    }
    std::vector<sim::PortAccess> Take() {
        std::lock_guard<std::mutex> guard(m_lock);
        return std::move(m_accesses);
    }

private:
    uint32_t Keep(const sim::PortAccess& access) {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_recording) {
            m_accesses.push_back(access);
        }
        return access.value;
    }

    PortBus& m_next;
    std::mutex m_lock;
    bool m_recording = false;
    std::vector<sim::PortAccess> m_accesses;
};

}  // namespace kest_test
