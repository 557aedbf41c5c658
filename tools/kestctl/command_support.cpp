#include "tools/kestctl/command_support.h"

#include <ctype.h>
#include <errno.h>
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

// Digits only: strtoull would also take leading blanks, a sign and a second 0x.
bool ParseNumber(const char* text, uint32_t* value) {
    if (text == nullptr) {
        return false;
    }
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (*text == '\0') {
        return false;
    }
    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (base == 16 ? !isxdigit(c) : !isdigit(c)) {
            return false;
        }
    }
    errno = 0;
    char* end = nullptr;
    unsigned long long v = strtoull(text, &end, base);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFull) {
        return false;
    }
    *value = static_cast<uint32_t>(v);
    return true;
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
