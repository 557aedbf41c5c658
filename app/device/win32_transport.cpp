// The device as Windows publishes it: CreateFileA / DeviceIoControl / CloseHandle.
#include <windows.h>

#include "app/device/device_transport.h"
#include "protocol/ioctl.h"

namespace {

// DeviceIoControl reports a completion status as a Win32 error; these are the ones the driver
// produces, mapped back so that a raw request prints the status the driver completed it with.
uint32_t StatusFromWin32Error(DWORD error) {
    switch (error) {
        case ERROR_INVALID_FUNCTION:
            return kStatusInvalidDeviceRequest;
        case ERROR_INSUFFICIENT_BUFFER:
            return kStatusBufferTooSmall;
        case ERROR_INVALID_PARAMETER:
            return kStatusInvalidParameter;
        case ERROR_ACCESS_DENIED:
            return kStatusDeletePending;
        default:
            return 0xC0000001u;  // STATUS_UNSUCCESSFUL
    }
}

class Win32Transport : public DeviceTransport {
public:
    DeviceHandle Open(const char** why) override {
        // Desired access 3: read data and write data; no sharing.
        HANDLE h = CreateFileA(KEST_USER_PATH, 3, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (why != nullptr) {
                *why = GetLastError() == ERROR_FILE_NOT_FOUND ? "the driver is not running"
                                                              : "access refused";
            }
            return kInvalidDeviceHandle;
        }
        return reinterpret_cast<DeviceHandle>(h);
    }

    bool Control(DeviceHandle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                 uint32_t outLength, uint32_t* status, uint32_t* information) override {
        DWORD returned = 0;
        BOOL ok = DeviceIoControl(reinterpret_cast<HANDLE>(handle), code, const_cast<void*>(in),
                                  inLength, out, outLength, &returned, nullptr);
        *status = ok ? kStatusSuccess : StatusFromWin32Error(GetLastError());
        *information = ok ? returned : 0;
        return true;
    }

    void Close(DeviceHandle handle) override { CloseHandle(reinterpret_cast<HANDLE>(handle)); }
};

}  // namespace

DeviceTransport& PlatformDeviceTransport() {
    static Win32Transport transport;
    return transport;
}
