// kestctl's number and hex-byte parsers.
#include <gtest/gtest.h>

#include <vector>

#include "tools/kestctl/arguments.h"

namespace {

TEST(KestctlArguments, Numbers) {
    struct Row {
        const char* text;
        bool accepted;
        uint32_t value;
    };
    const Row rows[] = {
        {"0", true, 0},
        {"2229396", true, 2229396},
        {"0x220494", true, 0x220494},
        {"0XfF", true, 0xFF},
        {"0xFFFFFFFF", true, 0xFFFFFFFF},
        {"4294967295", true, 0xFFFFFFFF},
        {"4294967296", false, 0},
        {"0x100000000", false, 0},
        {"0x", false, 0},
        {"", false, 0},
        {" 1", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {"0x0x1", false, 0},
        {"12a", false, 0},
        {"99999999999999999999999", false, 0},
    };
    for (const Row& row : rows) {
        uint32_t value = 0xA5A5A5A5;
        EXPECT_EQ(ParseNumber(row.text, &value), row.accepted) << row.text;
        EXPECT_EQ(value, row.accepted ? row.value : 0xA5A5A5A5) << row.text;
    }
}

TEST(KestctlArguments, HexBytesAppendOnlyWhenTheWholeTextIsGood) {
    std::vector<uint8_t> bytes = {1};
    EXPECT_TRUE(ParseHexBytes("0aFf", &bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 0x0A, 0xFF}));
    for (const char* bad : {"", "0", "0a0", "0a0g", "zz", "0a 0b"}) {
        EXPECT_FALSE(ParseHexBytes(bad, &bytes)) << bad;
        EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 0x0A, 0xFF})) << bad;
    }
}

}  // namespace
