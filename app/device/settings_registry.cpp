// The service key in the Windows registry.
#include <windows.h>

#include "app/device/settings.h"

namespace {
constexpr const char* kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\KestATI";
}

namespace settings_detail {

uint32_t ReadServiceKeyDword(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return 0xFFFF;
    }
    // Zero-filled so that a value shorter than four bytes reads with clean high bytes.
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof data;
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr, data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || size > 4) {
        return 0xFFFF;
    }
    return static_cast<uint32_t>(data[0]) | (static_cast<uint32_t>(data[1]) << 8) |
           (static_cast<uint32_t>(data[2]) << 16) | (static_cast<uint32_t>(data[3]) << 24);
}

long WriteServiceKeyDwordValue(const char* name, uint32_t value) {
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    DWORD data = value;
    result =
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    LONG closed = RegCloseKey(key);
    return result != ERROR_SUCCESS ? result : closed;
}

}  // namespace settings_detail
