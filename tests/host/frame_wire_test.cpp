// The socket frame's bytes on the wire.
#include <gtest/gtest.h>

#include <vector>

#include "protocol/frame.h"

namespace {

TEST(Frame, RequestHeaderBytes) {
    uint8_t bytes[kRequestHeaderSize];
    EncodeRequestHeader(RequestHeader{kFrameMagic, 0x2204C4, 4, 56}, bytes);
    const uint8_t expected[] = {'K', 'E', 'S', 'T', 0xC4, 0x04, 0x22, 0x00,
                                4,   0,   0,   0,   56,   0,    0,    0};
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 16),
              std::vector<uint8_t>(expected, expected + 16));
    RequestHeader back = DecodeRequestHeader(bytes);
    EXPECT_EQ(back.magic, kFrameMagic);
    EXPECT_EQ(back.code, 0x2204C4u);
    EXPECT_EQ(back.inLength, 4u);
    EXPECT_EQ(back.outLength, 56u);
}

TEST(Frame, ReplyHeaderBytes) {
    uint8_t bytes[kReplyHeaderSize];
    EncodeReplyHeader(ReplyHeader{kStatusBufferTooSmall, 0x01020304}, bytes);
    const uint8_t expected[] = {0x23, 0x00, 0x00, 0xC0, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 8), std::vector<uint8_t>(expected, expected + 8));
    ReplyHeader back = DecodeReplyHeader(bytes);
    EXPECT_EQ(back.status, kStatusBufferTooSmall);
    EXPECT_EQ(back.information, 0x01020304u);
}

TEST(Frame, HeaderChecks) {
    struct Row {
        RequestHeader header;
        FrameCheck expected;
    };
    const Row rows[] = {
        {{kFrameMagic, 0x220494, 0, 4}, FrameCheck::kOk},
        {{kFrameMagic, 0, 4096, 4096}, FrameCheck::kOk},
        {{kFrameMagic, 0, 4097, 0}, FrameCheck::kTooLong},
        {{kFrameMagic, 0, 0, 4097}, FrameCheck::kTooLong},
        {{kFrameMagic, 0, 0xFFFFFFFF, 0}, FrameCheck::kTooLong},
        {{0x5453454C, 0, 0, 0}, FrameCheck::kBadMagic},
        {{0x4B455354, 0, 0, 0}, FrameCheck::kBadMagic},  // the magic in the wrong byte order
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CheckRequestHeader(row.header), row.expected)
            << row.header.magic << " " << row.header.inLength << " " << row.header.outLength;
    }
}

TEST(Frame, StatusSuccessIsTheTopBitClear) {
    EXPECT_TRUE(StatusSucceeded(kStatusSuccess));
    EXPECT_TRUE(StatusSucceeded(0x00000103));   // STATUS_PENDING and the like
    EXPECT_FALSE(StatusSucceeded(0x80000005));  // STATUS_BUFFER_OVERFLOW
    EXPECT_FALSE(StatusSucceeded(kStatusInvalidDeviceRequest));
    EXPECT_FALSE(StatusSucceeded(kStatusBufferTooSmall));
}

}  // namespace
