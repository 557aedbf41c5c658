#include "host/inprocess_transport.h"

#include "host/io_manager.h"
#include "protocol/ioctl.h"

DeviceHandle InProcessTransport::Open(const char** why) {
    int32_t status = 0;
    int handle = host::OpenDevice(KEST_USER_PATH, &status);
    if (handle < 0) {
        if (why != nullptr) {
            *why = "no such device";
        }
        return kInvalidDeviceHandle;
    }
    return handle;
}

bool InProcessTransport::Control(DeviceHandle handle, uint32_t code, const void* in,
                                 uint32_t inLength, void* out, uint32_t outLength, uint32_t* status,
                                 uint32_t* information) {
    uint32_t returned = 0;
    int32_t result = host::DeviceControl(static_cast<int>(handle), code, in, inLength, out,
                                         outLength, &returned);
    *status = static_cast<uint32_t>(result);
    *information = returned;
    return true;
}

void InProcessTransport::Close(DeviceHandle handle) {
    host::CloseDevice(static_cast<int>(handle));
}
