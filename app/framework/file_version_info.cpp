// The file version calls over the project's own PE reader, where the system has none. The block
// holds the fixed file information alone: the file version as the image states it, its product
// version and flags read 0.
#include <cstring>

#include "app/framework/version_resource.h"
#include "app/framework/win32_api.h"

namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
constexpr DWORD kFixedInfoVersion = 0x00010000;

}  // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle != nullptr) {
        *lpdwHandle = 0;
    }
    FileVersion version{};
    return lptstrFilename != nullptr && ReadFileVersion(lptstrFilename, &version)
               ? sizeof(VS_FIXEDFILEINFO)
               : 0;
}

BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD /*dwHandle*/, DWORD dwLen, LPVOID lpData) {
    FileVersion version{};
    if (lptstrFilename == nullptr || lpData == nullptr || dwLen < sizeof(VS_FIXEDFILEINFO) ||
        !ReadFileVersion(lptstrFilename, &version)) {
        return FALSE;
    }
    VS_FIXEDFILEINFO info{};
    info.dwSignature = kFixedInfoSignature;
    info.dwStrucVersion = kFixedInfoVersion;
    info.dwFileVersionMS = version.nMS;
    info.dwFileVersionLS = version.nLS;
    std::memcpy(lpData, &info, sizeof info);
    return TRUE;
}

BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen) {
    if (pBlock == nullptr || lpSubBlock == nullptr || lplpBuffer == nullptr || puLen == nullptr ||
        std::strcmp(lpSubBlock, "\\") != 0) {
        return FALSE;
    }
    DWORD signature = 0;
    std::memcpy(&signature, pBlock, sizeof signature);
    if (signature != kFixedInfoSignature) {
        return FALSE;
    }
    *lplpBuffer = const_cast<void*>(pBlock);
    *puLen = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}
