// Storing a dword in the service key's text and reading it back, on texts that end oddly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/service_key_file.h"

namespace {

const std::string kKey =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\KestATI]\n";

std::vector<uint8_t> Dword(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

// A value whose data is continued on a line the file never gives must not swallow the value
// stored after it, and must keep reading as it did.
TEST(ServiceKeyText, StoredValueReadsBackAfterAContinuationThatEndsTheFile) {
    const char* const endings[] = {
        "\"nofan\"=hex:01,00,\\\n",
        "\"nofan\"=hex:01,00,\\",
        "\"nofan\"=hex:01,00,\\\r\n",
        "\"nofan\"=hex:01,\\\n  00,\\\n",
    };
    for (const char* ending : endings) {
        std::string text = kKey + ending;
        std::vector<uint8_t> before;
        ASSERT_EQ(FindRegValue(text, "nofan", &before), RegLookup::kFound) << ending;

        ASSERT_TRUE(SetRegDword(&text, "fanspeed", 0x80)) << ending;
        std::vector<uint8_t> data;
        EXPECT_EQ(FindRegValue(text, "fanspeed", &data), RegLookup::kFound) << text;
        EXPECT_EQ(data, Dword(0x80)) << text;
        std::vector<uint8_t> after;
        EXPECT_EQ(FindRegValue(text, "nofan", &after), RegLookup::kFound) << text;
        EXPECT_EQ(after, before) << text;
    }
}

TEST(ServiceKeyText, AppendsToAKeyWhoseSectionLineEndsTheFile) {
    const std::string sections[] = {kKey, kKey.substr(0, kKey.size() - 1)};
    for (std::string text : sections) {
        ASSERT_TRUE(SetRegDword(&text, "Fan4Temp", 70));
        std::vector<uint8_t> data;
        EXPECT_EQ(FindRegValue(text, "fan4temp", &data), RegLookup::kFound) << text;
        EXPECT_EQ(data, Dword(70));
    }
}

}  // namespace
