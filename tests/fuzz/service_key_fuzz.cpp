// The service-key file's parser and writer on arbitrary text: lookups never fail unsafely, and a
// dword stored in a file that has the key reads back exactly while every other value of the key
// reads as it did before.
#include <string>
#include <vector>

#include "common/service_key_file.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const char* const kNames[] = {"fancontrol", "nofan", "fanspeed", "Fan4Temp"};

struct Lookup {
    RegLookup result;
    std::vector<uint8_t> data;

    bool operator==(const Lookup& other) const {
        return result == other.result && (result != RegLookup::kFound || data == other.data);
    }
};

Lookup Find(const std::string& text, const char* name) {
    Lookup lookup;
    lookup.result = FindRegValue(text, name, &lookup.data);
    return lookup;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One byte picks the value's name, four give the dword; the rest is the file.
    if (size < 5) {
        return 0;
    }
    const int which = data[0] & 3;
    const uint32_t value = static_cast<uint32_t>(data[1]) | static_cast<uint32_t>(data[2]) << 8 |
                           static_cast<uint32_t>(data[3]) << 16 |
                           static_cast<uint32_t>(data[4]) << 24;
    const std::string original(reinterpret_cast<const char*>(data) + 5, size - 5);

    Lookup before[4];
    for (int i = 0; i < 4; ++i) {
        before[i] = Find(original, kNames[i]);
    }

    std::string text = original;
    const bool stored = SetRegDword(&text, kNames[which], value);
    FUZZ_CHECK(stored == (before[which].result != RegLookup::kKeyMissing));
    if (!stored) {
        FUZZ_CHECK(text == original);
        return 0;
    }
    const Lookup after = Find(text, kNames[which]);
    FUZZ_CHECK(after.result == RegLookup::kFound);
    FUZZ_CHECK(after.data ==
               (std::vector<uint8_t>{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                     static_cast<uint8_t>(value >> 16),
                                     static_cast<uint8_t>(value >> 24)}));
    for (int i = 0; i < 4; ++i) {
        if (i != which) {
            FUZZ_CHECK(Find(text, kNames[i]) == before[i]);
        }
    }
    return 0;
}
