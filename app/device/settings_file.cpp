// The service key as a .reg file (systems without a registry).
#include "common/service_key_file.h"
#include "app/device/settings.h"

namespace settings_detail {

uint32_t ReadServiceKeyDword(const char* name) {
    uint32_t value = 0;
    if (ReadServiceKeyValue(ServiceKeyFilePath(), name, &value) != kErrorSuccess) {
        return 0xFFFF;
    }
    return value;
}

long WriteServiceKeyDwordValue(const char* name, uint32_t value) {
    return WriteServiceKeyDword(ServiceKeyFilePath(), name, value);
}

}  // namespace settings_detail
