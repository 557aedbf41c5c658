// The PE version reader on arbitrary bytes. Whatever the image, the reader stays inside it (the
// sanitizers watch), answers the same way twice, writes nothing when it finds no version, and a
// version it finds prints as four decimal parts that read back to the same numbers. Cutting the
// image short may lose its version but never changes it: a version found in a prefix is the one
// the whole image has.
#include <stdlib.h>

#include <string>
#include <vector>

#include "app/framework/version_resource.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr FileVersion kUntouched = {0xDEADBEEFu, 0xFEEDFACEu};

bool Same(const FileVersion& a, const FileVersion& b) {
    return a.nMS == b.nMS && a.nLS == b.nLS;
}

// The version in `data`, with the refusal checked: nothing written when none is found.
bool Find(const uint8_t* data, size_t size, FileVersion* version) {
    *version = kUntouched;
    const bool found = FindFileVersion(data, size, version);
    if (!found) {
        FUZZ_CHECK(Same(*version, kUntouched));
    }
    return found;
}

// "a.b.c.d", each part a plain decimal number of at most 65535.
void CheckText(const FileVersion& version) {
    const std::string text = FormatFileVersion(version);
    FUZZ_CHECK(!text.empty() && text.size() <= 23);
    uint32_t parts[4] = {};
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            FUZZ_CHECK(at < text.size() && text[at] == '.');
            ++at;
        }
        const size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            parts[i] = parts[i] * 10 + static_cast<uint32_t>(text[at] - '0');
            ++at;
        }
        FUZZ_CHECK(at > start && at - start <= 5);
        FUZZ_CHECK(at - start == 1 || text[start] != '0');
        FUZZ_CHECK(parts[i] <= 0xFFFF);
    }
    FUZZ_CHECK(at == text.size());
    FUZZ_CHECK(parts[0] << 16 == (version.nMS & 0xFFFF0000u) && parts[1] == (version.nMS & 0xFFFF));
    FUZZ_CHECK(parts[2] << 16 == (version.nLS & 0xFFFF0000u) && parts[3] == (version.nLS & 0xFFFF));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FileVersion version{};
    const bool found = Find(data, size, &version);
    FileVersion again{};
    FUZZ_CHECK(Find(data, size, &again) == found);
    if (found) {
        FUZZ_CHECK(Same(again, version));
        CheckText(version);
    }
    if (size == 0) {
        return 0;
    }
    // The last byte picks where to cut: 0 drops only itself, 255 everything. The prefix is a
    // buffer of its own, so a read past its end is a read past an allocation.
    const size_t cut = size - 1 - static_cast<size_t>(data[size - 1]) * (size - 1) / 255;
    const std::vector<uint8_t> prefix(data, data + cut);
    FileVersion shorter{};
    if (Find(prefix.data(), prefix.size(), &shorter)) {
        FUZZ_CHECK(found && Same(shorter, version));
    }
    return 0;
}
