// kestctl's number and hex-byte parsers against a plain restatement of what they accept: every
// text is either refused (leaving the output alone) or gives exactly the value its digits spell.
#include <string.h>

#include <string>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tools/kestctl/arguments.h"

namespace {

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') {
        v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        v = c - 'A' + 10;
    }
    return v < base ? v : -1;
}

// "0x" and hex digits, or decimal digits; the value must fit 32 bits.
bool ExpectedNumber(const std::string& text, uint32_t* value) {
    int base = 10;
    size_t at = 0;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        at = 2;
    }
    if (at == text.size()) {
        return false;
    }
    uint64_t v = 0;
    for (; at < text.size(); ++at) {
        const int d = DigitValue(text[at], base);
        if (d < 0) {
            return false;
        }
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull) {
            return false;
        }
    }
    *value = static_cast<uint32_t>(v);
    return true;
}

bool ExpectedBytes(const std::string& text, std::vector<uint8_t>* bytes) {
    if (text.empty() || text.size() % 2 != 0) {
        return false;
    }
    for (size_t i = 0; i < text.size(); i += 2) {
        const int hi = DigitValue(text[i], 16);
        const int lo = DigitValue(text[i + 1], 16);
        if (hi < 0 || lo < 0) {
            return false;
        }
        bytes->push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A command-line argument ends at its first zero byte.
    const std::string text(reinterpret_cast<const char*>(data),
                           strnlen(reinterpret_cast<const char*>(data), size));

    uint32_t value = 0xA5A5A5A5;
    uint32_t expectedValue = 0;
    const bool accepted = ParseNumber(text.c_str(), &value);
    FUZZ_CHECK(accepted == ExpectedNumber(text, &expectedValue));
    FUZZ_CHECK(accepted ? value == expectedValue : value == 0xA5A5A5A5);

    const std::vector<uint8_t> before = {0x11, 0x22};
    std::vector<uint8_t> bytes = before;
    std::vector<uint8_t> expectedBytes = before;
    const bool parsed = ParseHexBytes(text.c_str(), &bytes);
    FUZZ_CHECK(parsed == ExpectedBytes(text, &expectedBytes));
    FUZZ_CHECK(parsed ? bytes == expectedBytes : bytes == before);
    return 0;
}
