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

// The codes are built from their parts; their values on the wire are these, for good.
TEST(Frame, ControlCodesKeepTheirWireValues) {
    const struct {
        KestU32 code;
        KestU32 wire;
    } kCodes[] = {
        {IOCTL_GET_CLOCK_DIVIDERS, 0x220494u}, {IOCTL_SET_CLOCK_DIVIDERS, 0x220498u},
        {IOCTL_GET_ADAPTER_INFO, 0x22049Cu},   {IOCTL_READ_FAN1, 0x2204A0u},
        {IOCTL_READ_IN1, 0x2204A4u},           {IOCTL_READ_IN7, 0x2204A8u},
        {IOCTL_READ_IN5, 0x2204ACu},           {IOCTL_READ_IN6, 0x2204B0u},
        {IOCTL_READ_IN8, 0x2204B4u},           {IOCTL_READ_IN2, 0x2204B8u},
        {IOCTL_READ_TEMP1, 0x2204BCu},         {IOCTL_READ_TEMP2, 0x2204C0u},
        {IOCTL_READ_TEMP3, 0x2204C4u},         {IOCTL_READ_CHIP_ID, 0x2204C8u},
        {IOCTL_SET_TEMP2_LIMIT, 0x2204CCu},    {IOCTL_SET_TEMP3_LIMIT, 0x2204D0u},
        {IOCTL_SET_FAN_DRIVE, 0x2204D4u},      {IOCTL_GET_FAN_DRIVE, 0x2204D8u},
        {IOCTL_SET_FAN1_LIMIT, 0x2204DCu},     {IOCTL_SET_TEMP1_LIMIT, 0x2204E0u},
        {IOCTL_SET_IN7_LIMIT_A, 0x2204E4u},    {IOCTL_SET_IN1_LIMIT_A, 0x2204E8u},
        {IOCTL_SET_IN2_LIMIT_A, 0x2204ECu},    {IOCTL_SET_IN5_LIMIT_A, 0x2204F0u},
        {IOCTL_SET_IN8_LIMIT_A, 0x2204F4u},    {IOCTL_SET_IN6_LIMIT_A, 0x2204F8u},
        {IOCTL_SET_IN7_LIMIT_B, 0x2204FCu},    {IOCTL_SET_IN1_LIMIT_B, 0x220500u},
        {IOCTL_SET_IN2_LIMIT_B, 0x220504u},    {IOCTL_SET_IN5_LIMIT_B, 0x220508u},
        {IOCTL_SET_IN8_LIMIT_B, 0x22050Cu},    {IOCTL_SET_IN6_LIMIT_B, 0x220510u},
        {IOCTL_NO_OPERATION, 0x220514u},       {IOCTL_ALARMS_OFF, 0x220518u},
        {IOCTL_ALARMS_ON, 0x22051Cu},          {IOCTL_REINIT_MONITOR, 0x220520u},
        {IOCTL_READ_BANK0_REG, 0x220524u},     {IOCTL_READ_BANK1_REG, 0x220528u},
        {IOCTL_READ_BANK2_REG, 0x22052Cu},     {IOCTL_READ_BANK3_REG, 0x220530u},
        {IOCTL_READ_BANK4_REG, 0x220534u},     {IOCTL_READ_BANK5_REG, 0x220538u},
        {IOCTL_READ_BANK6_REG, 0x22053Cu},     {IOCTL_READ_IO_REG, 0x220540u},
        {IOCTL_READ_PLL_REG, 0x220544u},       {IOCTL_READ_AUX_I2C_REG, 0x220548u},
    };
    for (const auto& row : kCodes) {
        EXPECT_EQ(row.code, row.wire);
    }
    EXPECT_EQ(sizeof(kCodes) / sizeof(kCodes[0]), (kLastControlCode - kFirstControlCode) / 4 + 1);
}

}  // namespace
