#include "app/shell/driver_version.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <cstdlib>

#include "app/shell/version_resource.h"
#endif

std::string ReadDriverVersionText() {
#ifdef _WIN32
    char path[256 + 16];
    const UINT n = GetSystemDirectoryA(path, 256);
    if (n == 0 || n >= 256) {
        return std::string();
    }
    lstrcatA(path, "\\");
    lstrcatA(path, kDisplayDriverFile);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) {
        return std::string();
    }
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!GetFileVersionInfoA(path, 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) ||
        info == nullptr) {
        return std::string();
    }
    char text[48];
    wsprintfA(text, "%d.%d.%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
              HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return text;
#else
    const char* dir = std::getenv("KESTATI_SYSTEM_DIR");
    std::string path = dir != nullptr && dir[0] != '\0' ? dir : kDefaultSystemDir;
    path += '/';
    path += kDisplayDriverFile;
    FileVersion version{};
    return ReadFileVersion(path.c_str(), &version) ? FormatFileVersion(version) : std::string();
#endif
}
