// The file version of a Windows executable or library, read from its version resource (the
// fixed file information of the RT_VERSION resource) by walking the PE image ourselves. Every
// offset is checked against the bytes at hand: a truncated or malformed file simply has no
// version. Qt-free.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

struct FileVersion {
    uint32_t nMS;  // file version, most significant 32 bits
    uint32_t nLS;  // least significant 32 bits
};

// The fixed file version of the PE image in `data`; false, with `*pVersion` left as it was,
// when it has none.
bool FindFileVersion(const uint8_t* data, size_t size, FileVersion* pVersion);

// Reads the file at `path` (at most a few tens of MiB) and finds its version.
bool ReadFileVersion(const char* path, FileVersion* pVersion);

// "a.b.c.d" of the four 16-bit parts, most significant first.
std::string FormatFileVersion(const FileVersion& version);
