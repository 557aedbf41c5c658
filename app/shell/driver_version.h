// The version of the chip maker's display driver file "ati2dvag.dll" in the system directory,
// as "a.b.c.d"; empty when the file is missing or has no version resource. On Linux the system
// directory is KESTATI_SYSTEM_DIR when set and not empty, else kDefaultSystemDir. Qt-free.
#pragma once

#include <string>

inline constexpr const char* kDefaultSystemDir = "/usr/lib/kestati/system32";
inline constexpr const char* kDisplayDriverFile = "ati2dvag.dll";

std::string ReadDriverVersionText();
