// The two ways a benchmark reaches the driver on a simulated RADEON 9800 PRO, each set up for
// the object's lifetime: through the socket of a kestatid started for it, or through the
// in-process transport on a board in this process.
#pragma once

#include <signal.h>
#include <stdlib.h>

#include <memory>

#include "app/device/device_client.h"
#include "host/driver_entry.h"
#include "host/inprocess_transport.h"
#include "host/io_manager.h"
#include "protocol/frame.h"
#include "sim/machine.h"
#include "tests/host/kestatid_process.h"

namespace kesttest {

class ServiceDevice {
public:
    ServiceDevice() : m_service(m_dir.Path()) {
        setenv(kDeviceSocketEnv, m_service.Socket().c_str(), 1);
        m_bStarted = m_service.StartAndWait({"--board", "9800pro"});
        SetDeviceTransport(nullptr);
    }
    ~ServiceDevice() {
        m_service.StopWith(SIGTERM);
        unsetenv(kDeviceSocketEnv);
    }
    ServiceDevice(const ServiceDevice&) = delete;
    ServiceDevice& operator=(const ServiceDevice&) = delete;

    bool Started() const { return m_bStarted; }

private:
    TempDir m_dir;
    Kestatid m_service;
    bool m_bStarted = false;
};

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
