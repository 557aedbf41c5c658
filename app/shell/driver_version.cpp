#include "app/shell/driver_version.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/framework/win32_api.h"

namespace {

std::string DriverFilePath() {
#ifdef _WIN32
    char dir[256];
    const UINT n = GetSystemDirectoryA(dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) {
        return std::string();
    }
    return std::string(dir) + "\\" + kDisplayDriverFile;
#else
    const char* dir = std::getenv("KESTATI_SYSTEM_DIR");
    std::string path = dir != nullptr && dir[0] != '\0' ? dir : kDefaultSystemDir;
    return path + "/" + kDisplayDriverFile;
#endif
}

}  // namespace

std::string ReadDriverVersionText() {
    const std::string path = DriverFilePath();
    if (path.empty()) {
        return std::string();
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) {
        return std::string();
    }
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) ||
        info == nullptr) {
        return std::string();
    }
    char text[48];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", HIWORD(info->dwFileVersionMS),
                  LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                  LOWORD(info->dwFileVersionLS));
    return text;
}
