#include "tools/kestctl/command_support.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/device/device_transport.h"
#include "protocol/ioctl.h"

std::string Format(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

bool IsHelp(const char* arg) {
    return strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0;
}

int BadArguments(std::string* err, const std::string& message, const char* usage) {
    *err += "kestctl: " + message + "\n" + usage;
    return 2;
}

bool DeviceReachable(std::string* err) {
    DeviceTransport& transport = CurrentDeviceTransport();
    const char* why = "unknown reason";
    DeviceHandle h = transport.Open(&why);
    if (h == kInvalidDeviceHandle) {
        *err += Format("kestctl: cannot open %s: %s\n", KEST_USER_PATH, why);
        return false;
    }
    transport.Close(h);
    return true;
}
