#include "tools/kestctl/arguments.h"

#include <ctype.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "common/hex_digit.h"

// Digits only: strtoull would also take leading blanks, a sign and a second 0x.
bool ParseNumber(const char* text, uint32_t* value) {
    if (text == nullptr) {
        return false;
    }
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (*text == '\0') {
        return false;
    }
    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (base == 16 ? !isxdigit(c) : !isdigit(c)) {
            return false;
        }
    }
    errno = 0;
    char* end = nullptr;
    unsigned long long v = strtoull(text, &end, base);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFull) {
        return false;
    }
    *value = static_cast<uint32_t>(v);
    return true;
}

bool ParseHexBytes(const char* text, std::vector<uint8_t>* bytes) {
    size_t n = strlen(text);
    if (n == 0 || n % 2 != 0) {
        return false;
    }
    std::vector<uint8_t> parsed;
    parsed.reserve(n / 2);
    for (size_t i = 0; i < n; i += 2) {
        int hi = HexDigit(text[i]);
        int lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        parsed.push_back(static_cast<uint8_t>((hi << 4) | lo));
    }
    bytes->insert(bytes->end(), parsed.begin(), parsed.end());
    return true;
}
