#include "app/device/device_transport.h"

#include <stdlib.h>

#include <atomic>

namespace {
std::atomic<DeviceTransport*> g_installedTransport{nullptr};
}

DeviceTransport& CurrentDeviceTransport() {
    DeviceTransport* installed = g_installedTransport.load(std::memory_order_acquire);
    return installed != nullptr ? *installed : PlatformDeviceTransport();
}

void SetDeviceTransport(DeviceTransport* transport) {
    g_installedTransport.store(transport, std::memory_order_release);
}

bool SelectDeviceTransport(SimulatedBoardHost host, std::string* error) {
    const char* board = getenv(kSimulateBoardEnv);
    if (board == nullptr || *board == '\0') {
        return true;
    }
    DeviceTransport* simulated = host(board, error);
    if (simulated == nullptr) {
        return false;
    }
    SetDeviceTransport(simulated);
    return true;
}
