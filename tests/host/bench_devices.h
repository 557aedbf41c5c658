// The two ways a benchmark reaches the driver on a simulated RADEON 9800 PRO, each set up for
// the object's lifetime: through the socket of a kestatid started for it, or through the
// in-process transport on a board in this process.
#pragma once

#include <signal.h>
#include <stdlib.h>

#include "app/device/device_client.h"
#include "protocol/frame.h"
#include "tests/host/inprocess_device.h"
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

}  // namespace kesttest
