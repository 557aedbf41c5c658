// The driver's service key of one test, where the program looks for it on this system: on
// Windows the service's key in the registry, elsewhere a private file in .reg syntax that
// KESTATI_SERVICE_KEY names. It starts missing and is gone again when the object is.
#pragma once

#include <cstdint>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/service_key_file.h"
#include "tests/support/environment.h"
#endif

namespace kesttest {

#ifdef _WIN32

class TestServiceKey {
public:
    explicit TestServiceKey(const std::string& /*dir*/) { Remove(); }
    ~TestServiceKey() { Remove(); }
    TestServiceKey(const TestServiceKey&) = delete;
    TestServiceKey& operator=(const TestServiceKey&) = delete;

    // A key without values, as the driver's installation leaves it.
    void Create() {
        Remove();
        HKEY key;
        if (::RegCreateKeyA(HKEY_LOCAL_MACHINE, kPath, &key) == ERROR_SUCCESS) {
            ::RegCloseKey(key);
        }
    }
    void Remove() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPath); }
    bool Exists() const {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        ::RegCloseKey(key);
        return true;
    }
    // Stores a dword; the system's error code (not found without the key).
    long Set(const char* name, uint32_t value) {
        HKEY key;
        LONG result = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, KEY_SET_VALUE, &key);
        if (result == ERROR_SUCCESS) {
            const DWORD data = value;
            result = ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                      sizeof data);
            ::RegCloseKey(key);
        }
        return result;
    }
    // A stored value of at most four bytes, or 0xFFFF when there is none.
    uint32_t Value(const char* name) const {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
            return 0xFFFF;
        }
        DWORD data = 0;
        DWORD size = sizeof data;
        const LONG result =
            ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
        ::RegCloseKey(key);
        return result == ERROR_SUCCESS ? data : 0xFFFF;
    }

private:
    static constexpr const char* kPath = "SYSTEM\\CurrentControlSet\\Services\\KestATI";
};

#else

class TestServiceKey {
public:
    explicit TestServiceKey(const std::string& dir) : m_path(dir + "/KestATI.reg") {
        SetEnv(kServiceKeyEnv, m_path.c_str());
    }
    ~TestServiceKey() { UnsetEnv(kServiceKeyEnv); }
    TestServiceKey(const TestServiceKey&) = delete;
    TestServiceKey& operator=(const TestServiceKey&) = delete;

    void Create() { std::ofstream(m_path, std::ios::binary) << EmptyServiceKeyText(); }
    void Remove() { std::remove(m_path.c_str()); }
    bool Exists() const { return std::filesystem::exists(m_path); }
    long Set(const char* name, uint32_t value) {
        return WriteServiceKeyDword(m_path.c_str(), name, value);
    }
    uint32_t Value(const char* name) const {
        uint32_t value = 0;
        return ReadServiceKeyValue(m_path.c_str(), name, &value) == kErrorSuccess ? value : 0xFFFF;
    }
    // The file that is the key here.
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

#endif

}  // namespace kesttest
