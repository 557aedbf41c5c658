// The service's frame reader against a client stream cut into arbitrary pieces: whatever the
// cuts, it must reach the decision the whole stream implies, take exactly the frame's bytes and
// never ask for more than the frame still needs.
#include <string.h>

#include <algorithm>

#include "host/frame_reader.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

struct Expected {
    host::FrameReader::Status status;
    size_t consumed;
};

// The decision for a stream that arrives in one piece.
Expected Decide(const uint8_t* data, size_t size) {
    using Status = host::FrameReader::Status;
    if (size < kRequestHeaderSize) {
        return {Status::kNeedMore, size};
    }
    const RequestHeader h = DecodeRequestHeader(data);
    if (h.magic != kFrameMagic) {
        return {Status::kBadMagic, kRequestHeaderSize};
    }
    if (h.inLength > kFrameMaxData || h.outLength > kFrameMaxData) {
        return {Status::kTooLong, kRequestHeaderSize};
    }
    const size_t frame = kRequestHeaderSize + h.inLength;
    return size >= frame ? Expected{Status::kComplete, frame} : Expected{Status::kNeedMore, size};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first two bytes choose where the stream is cut; the rest is the stream.
    if (size < 2) {
        return 0;
    }
    uint32_t cuts = (static_cast<uint32_t>(data[0]) << 8 | data[1]) | 1;
    const uint8_t* stream = data + 2;
    const size_t length = size - 2;

    host::FrameReader reader;
    size_t offered = 0;
    size_t consumed = 0;
    while (offered < length && reader.State() == host::FrameReader::Status::kNeedMore) {
        const size_t missing = reader.Missing();
        FUZZ_CHECK(missing > 0);
        FUZZ_CHECK(consumed + missing <= kRequestHeaderSize + kFrameMaxData);
        cuts ^= cuts << 13;
        cuts ^= cuts >> 17;
        cuts ^= cuts << 5;
        const size_t piece = std::min<size_t>(length - offered, 1 + cuts % 64);
        const size_t taken = reader.Take(stream + offered, piece);
        FUZZ_CHECK(taken == std::min(piece, missing));
        consumed += taken;
        offered += taken;
    }

    const Expected expected = Decide(stream, length);
    FUZZ_CHECK(reader.State() == expected.status);
    FUZZ_CHECK(consumed == expected.consumed);
    if (expected.status != host::FrameReader::Status::kNeedMore) {
        FUZZ_CHECK(reader.Missing() == 0);
        const RequestHeader h = DecodeRequestHeader(stream);
        FUZZ_CHECK(reader.Header().code == h.code && reader.Header().inLength == h.inLength &&
                   reader.Header().outLength == h.outLength);
    }
    if (expected.status == host::FrameReader::Status::kComplete) {
        const uint32_t inLength = reader.Header().inLength;
        FUZZ_CHECK(inLength == 0 ||
                   memcmp(reader.Input(), stream + kRequestHeaderSize, inLength) == 0);
    }
    return 0;
}
