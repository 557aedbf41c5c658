#include "common/device_socket.h"

#include <stdlib.h>

#include "protocol/frame.h"

const char* DeviceSocketPath() {
    const char* path = getenv(kDeviceSocketEnv);
    return (path != nullptr && path[0] != '\0') ? path : kDefaultDeviceSocket;
}
