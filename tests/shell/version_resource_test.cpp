// The version resource reader on real PE files made by the mingw tool chain during the build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell/driver_version.h"
#include "app/framework/version_resource.h"
#include "app/framework/win32_api.h"
#include "tests/shell/scratch_dir.h"

namespace {

std::string Slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool VersionOf(const std::string& bytes, FileVersion* version) {
    return FindFileVersion(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), version);
}

TEST(VersionResource, ReadsTheFixedFileVersion) {
    FileVersion version{};
    ASSERT_TRUE(ReadFileVersion(KEST_VERSIONED_DLL, &version));
    EXPECT_EQ(FormatFileVersion(version), "6.14.10.6458");
    EXPECT_EQ(version.nMS, 0x0006000Eu);
    EXPECT_EQ(version.nLS, 0x000A193Au);
}

TEST(VersionResource, NoResourceMissingOrTruncatedFileHasNoVersion) {
    FileVersion version{};
    EXPECT_FALSE(ReadFileVersion(KEST_UNVERSIONED_DLL, &version));
    EXPECT_FALSE(ReadFileVersion("/nonexistent/ati2dvag.dll", &version));
    const std::string whole = Slurp(KEST_VERSIONED_DLL);
    ASSERT_GT(whole.size(), 1024u);
    // Cut anywhere before the end of the version block: nothing is found (and nothing is read
    // past the end), and the caller's version is left alone.
    const std::size_t signature = whole.find(std::string("\xBD\x04\xEF\xFE", 4));
    ASSERT_NE(signature, std::string::npos);
    const std::size_t blockEnd = whole.find(std::string("V\0a\0r\0F\0i\0l\0e", 13));
    ASSERT_NE(blockEnd, std::string::npos);
    ASSERT_LT(signature, blockEnd);
    for (std::size_t size = 0; size < blockEnd; size += 3) {
        version = {1, 2};
        EXPECT_FALSE(VersionOf(whole.substr(0, size), &version)) << size;
        EXPECT_EQ(version.nMS, 1u);
        EXPECT_EQ(version.nLS, 2u);
    }
    EXPECT_TRUE(VersionOf(whole, &version));
    EXPECT_FALSE(VersionOf("MZ not a PE image at all", &version));
}

// The fuzzer's seed images: the tool chain's PE32 libraries stripped to a few hundred bytes, and
// hand-made ones for what it never writes (a 64-bit optional header, a named resource type ahead
// of the version type).
TEST(VersionResource, ReadsEveryKindOfSeedImage) {
    const struct {
        const char* file;
        const char* version;
    } kSeeds[] = {
        {"versioned.dll", "6.14.10.6458"},
        {"unversioned.dll", ""},
        {"pe32plus_versioned", "65535.0.1.2"},
        {"pe32_named_type_first", "1.2.3.4"},
        {"not_pe", ""},
    };
    for (const auto& seed : kSeeds) {
        const std::string path = std::string(KEST_PE_SEEDS) + "/" + seed.file;
        FileVersion version{};
        const bool found = ReadFileVersion(path.c_str(), &version);
        EXPECT_EQ(found ? FormatFileVersion(version) : "", seed.version) << seed.file;
    }
}

TEST(VersionResource, CorruptedBytesNeverCrashTheReader) {
    const std::string whole = Slurp(KEST_VERSIONED_DLL);
    FileVersion version{};
    for (std::size_t at = 0; at < whole.size(); ++at) {
        std::string bad = whole;
        bad[at] = static_cast<char>(bad[at] ^ 0xFF);
        VersionOf(bad, &version);  // any answer, but no fault (the sanitizer tree checks)
    }
}

// What a Windows program reads of a library's version: the fixed file information, and nothing
// under any other name.
TEST(VersionResource, FileVersionInfoAsTheSystemGivesIt) {
    DWORD handle = 1;
    EXPECT_EQ(GetFileVersionInfoSizeA(KEST_UNVERSIONED_DLL, &handle), 0u);
    const DWORD size = GetFileVersionInfoSizeA(KEST_VERSIONED_DLL, &handle);
    EXPECT_EQ(handle, 0u);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(KEST_VERSIONED_DLL, 0, size, block.data()));
    void* value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo", &value, &length));
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->dwFileVersionMS, 0x0006000Eu);
    EXPECT_EQ(info->dwFileVersionLS, 0x000A193Au);
    EXPECT_FALSE(GetFileVersionInfoA(KEST_VERSIONED_DLL, 0, size - 1, block.data()));
}

TEST(DriverVersion, ComesFromTheSystemDirectory) {
    kesttest::ScratchDir dir;
    setenv("KESTATI_SYSTEM_DIR", dir.Path().c_str(), 1);
    EXPECT_EQ(ReadDriverVersionText(), "");
    dir.Write("ati2dvag.dll", Slurp(KEST_VERSIONED_DLL));
    EXPECT_EQ(ReadDriverVersionText(), "6.14.10.6458");
    dir.Write("ati2dvag.dll", Slurp(KEST_UNVERSIONED_DLL));
    EXPECT_EQ(ReadDriverVersionText(), "");
    unsetenv("KESTATI_SYSTEM_DIR");
}

}  // namespace
