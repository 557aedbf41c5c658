// A transport that hands requests to the I/O manager emulation in this process: the driver,
// loaded with host::LoadDriver, answers them without any socket. For tests and benchmarks.
#pragma once

#include "app/device/device_transport.h"

class InProcessTransport : public DeviceTransport {
public:
    DeviceHandle Open(const char** why) override;
    bool Control(DeviceHandle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                 uint32_t outLength, uint32_t* status, uint32_t* information) override;
    void Close(DeviceHandle handle) override;
};
