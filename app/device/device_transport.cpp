#include "app/device/device_transport.h"

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
