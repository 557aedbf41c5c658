// The service's frame reader: one request frame out of a stream, whatever its pieces.
#include <gtest/gtest.h>

#include <vector>

#include "host/frame_reader.h"
#include "tests/host/e2e_support.h"

namespace {

using Status = host::FrameReader::Status;

using kesttest::Frame;

TEST(FrameReader, DecisionsAndTheBytesTheyTake) {
    struct Row {
        const char* what;
        std::vector<uint8_t> stream;
        Status status;
        size_t taken;
    };
    const Row rows[] = {
        {"reading, no input", Frame(kFrameMagic, 0x2204C4, 0, 56, {}), Status::kComplete, 16},
        {"setting with its word", Frame(kFrameMagic, 0x2204D4, 4, 0, {200, 0, 0, 0}),
         Status::kComplete, 20},
        {"half a header", std::vector<uint8_t>(9, 'K'), Status::kNeedMore, 9},
        {"input still missing", Frame(kFrameMagic, 0x2204D4, 4, 0, {1, 2}), Status::kNeedMore, 18},
        {"wrong magic", Frame(0x4B455354, 0x2204C4, 0, 56, {}), Status::kBadMagic, 16},
        {"input too long", Frame(kFrameMagic, 0x220540, 4097, 4, {1, 2, 3}), Status::kTooLong, 16},
        {"output too long", Frame(kFrameMagic, 0x220540, 4, 0x10000000, {}), Status::kTooLong, 16},
        {"a second frame stays unread",
         [] {
             std::vector<uint8_t> two = Frame(kFrameMagic, 0x220514, 0, 0, {});
             for (uint8_t b : Frame(kFrameMagic, 0x2204A0, 0, 56, {})) {
                 two.push_back(b);
             }
             return two;
         }(),
         Status::kComplete, 16},
    };
    for (const Row& row : rows) {
        // Whole, and one byte at a time: the same decision after the same bytes.
        for (size_t piece : {row.stream.size(), size_t{1}}) {
            host::FrameReader reader;
            size_t taken = 0;
            while (taken < row.stream.size() && reader.State() == Status::kNeedMore) {
                const size_t n = std::min(piece, row.stream.size() - taken);
                const size_t got = reader.Take(row.stream.data() + taken, n);
                ASSERT_GT(got, 0u) << row.what;
                taken += got;
            }
            EXPECT_EQ(reader.State(), row.status) << row.what << ", pieces of " << piece;
            EXPECT_EQ(taken, row.taken) << row.what << ", pieces of " << piece;
        }
    }
}

TEST(FrameReader, AsksForExactlyWhatTheFrameStillNeeds) {
    host::FrameReader reader;
    EXPECT_FALSE(reader.Started());
    EXPECT_EQ(reader.Missing(), 16u);
    const std::vector<uint8_t> frame = Frame(kFrameMagic, 0x220544, 8, 4, {0x0D, 0, 0, 0, 9, 9});
    EXPECT_EQ(reader.Take(frame.data(), 10), 10u);
    EXPECT_TRUE(reader.Started());
    EXPECT_EQ(reader.Missing(), 6u);
    EXPECT_EQ(reader.Take(frame.data() + 10, 6), 6u);
    EXPECT_EQ(reader.Missing(), 8u);
    EXPECT_EQ(reader.Header().code, 0x220544u);
    EXPECT_EQ(reader.Take(frame.data() + 16, 6), 6u);
    EXPECT_EQ(reader.Missing(), 2u);
    const uint8_t rest[] = {7, 7, 7, 7};
    EXPECT_EQ(reader.Take(rest, sizeof rest), 2u);
    EXPECT_EQ(reader.State(), Status::kComplete);
    EXPECT_EQ(reader.Missing(), 0u);
    EXPECT_EQ(std::vector<uint8_t>(reader.Input(), reader.Input() + 8),
              (std::vector<uint8_t>{0x0D, 0, 0, 0, 9, 9, 7, 7}));
}

// A decision is final: bytes offered after a refused frame are not taken and change nothing.
TEST(FrameReader, ARefusedFrameStaysRefused) {
    const std::vector<uint8_t> after = Frame(kFrameMagic, 0x2204C4, 0, 56, {});
    for (const std::vector<uint8_t>& refused :
         {Frame(0x4B455354, 0x2204C4, 0, 0, {}), Frame(kFrameMagic, 0x2204C4, 0, 4097, {})}) {
        host::FrameReader reader;
        EXPECT_EQ(reader.Take(refused.data(), refused.size()), 16u);
        const Status decided = reader.State();
        EXPECT_NE(decided, Status::kNeedMore);
        EXPECT_EQ(reader.Take(after.data(), after.size()), 0u);
        EXPECT_EQ(reader.State(), decided);
    }
}

}  // namespace
