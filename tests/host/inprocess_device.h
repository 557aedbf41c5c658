// The driver on a simulated RADEON 9800 PRO in this process, reached through the in-process
// transport, for the object's lifetime: how a benchmark reaches the driver in either tree.
#pragma once

#include <memory>

#include "app/device/device_client.h"
#include "host/driver_entry.h"
#include "host/inprocess_transport.h"
#include "host/io_manager.h"
#include "sim/machine.h"

namespace kesttest {

class InProcessDevice {
public:
    InProcessDevice() : m_machine(sim::Machine::Create("9800pro", m_clock)) {
        host::AttachPortBus(m_machine.get());
        host::LoadDriver(host::KestatiDriverEntry());
        SetDeviceTransport(&m_transport);
    }
    ~InProcessDevice() {
        SetDeviceTransport(nullptr);
        host::UnloadDriver();
        host::AttachPortBus(nullptr);
    }
    InProcessDevice(const InProcessDevice&) = delete;
    InProcessDevice& operator=(const InProcessDevice&) = delete;

private:
    sim::RealClock m_clock;
    std::unique_ptr<sim::Machine> m_machine;
    InProcessTransport m_transport;
};

}  // namespace kesttest
