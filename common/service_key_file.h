// The driver's service key kept as a file in Windows .reg export syntax, for systems without a
// registry:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\KestATI]
//   "fancontrol"=dword:00000001
//   "odd"=hex:01,00
//
// The file is the key: no file (or no key section in it) is a missing key. Values are looked up
// by name, case-insensitively, inside the key's section; `dword:` holds 4 bytes, `hex:` and
// `hex(N):` any number, a quoted string its characters and the terminating zero. Writes replace
// the whole file atomically and keep every other line as it was.
#pragma once

#include <stdint.h>
#include <sys/types.h>

#include <string>
#include <vector>

// Win32 error codes, as the registry calls return them.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorWriteFault = 29;
constexpr long kErrorMoreData = 234;

constexpr const char* kServiceKeyEnv = "KESTATI_SERVICE_KEY";
constexpr const char* kDefaultServiceKeyFile = "/var/lib/kestati/KestATI.reg";
constexpr const char* kServiceKeyName =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\KestATI";

// KESTATI_SERVICE_KEY when set and not empty, else the standard path.
const char* ServiceKeyFilePath();

enum class RegLookup { kKeyMissing, kValueMissing, kUnreadable, kFound };

// Looks `name` up in the service key section of a .reg text.
RegLookup FindRegValue(const std::string& text, const char* name, std::vector<uint8_t>* data);

// Sets `name` to a dword in the service key section, replacing the value's old entry or
// appending it to the section. False when the text has no service key section.
bool SetRegDword(std::string* text, const char* name, uint32_t value);

// The text of a key holding no values.
std::string EmptyServiceKeyText();

// Reads a value of at most four bytes (fewer are zero-extended). kErrorFileNotFound for a
// missing key or value, kErrorMoreData for a longer one.
long ReadServiceKeyValue(const char* path, const char* name, uint32_t* value);

// Stores `name` as a dword, atomically replacing the file. kErrorFileNotFound when the key does
// not exist (the file is never created here).
long WriteServiceKeyDword(const char* path, const char* name, uint32_t value);

// Creates an empty key at `path` with `mode` (and group `gid` unless it is (gid_t)-1) when no
// file exists. Returns false with `error` set when it cannot; true when the file exists after.
bool CreateServiceKeyFileIfMissing(const char* path, mode_t mode, gid_t gid, std::string* error,
                                   bool* created);
