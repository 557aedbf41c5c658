// The socket frame that carries one device-control request from a client to kestatid and its
// completion back. One connection carries exactly one request: the client connects (the open),
// sends a request frame, reads the reply frame and closes. All fields are little-endian 32-bit
// words, whatever the host order.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "protocol/ioctl.h"

// "KEST" in the first four bytes on the wire.
constexpr KestU32 kFrameMagic = 0x5453454Bu;

// Largest input or output buffer a request may carry. Every record of the request table fits
// many times over; anything bigger is refused before it reaches the driver.
constexpr KestU32 kFrameMaxData = 4096;

// How long the service waits for the whole request frame of a client before dropping it.
constexpr int kFrameClientTimeoutMs = 2000;

// Where the device socket lives unless KESTATI_DEVICE names another path. The live control
// socket of a simulated board sits beside it with kSimSocketSuffix appended.
constexpr const char* kDeviceSocketEnv = "KESTATI_DEVICE";
constexpr const char* kDefaultDeviceSocket = "/run/kestati/kestati.sock";
constexpr const char* kSimSocketSuffix = ".sim";

struct RequestHeader {
    KestU32 magic;
    KestU32 code;
    KestU32 inLength;
    KestU32 outLength;
};

struct ReplyHeader {
    KestU32 status;
    KestU32 information;  // number of output bytes that follow the header
};

constexpr size_t kRequestHeaderSize = 16;
constexpr size_t kReplyHeaderSize = 8;
static_assert(sizeof(RequestHeader) == kRequestHeaderSize, "request header is four words");
static_assert(sizeof(ReplyHeader) == kReplyHeaderSize, "reply header is two words");

inline void StoreLe32(uint8_t* p, KestU32 v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

inline KestU32 LoadLe32(const uint8_t* p) {
    return static_cast<KestU32>(p[0]) | (static_cast<KestU32>(p[1]) << 8) |
           (static_cast<KestU32>(p[2]) << 16) | (static_cast<KestU32>(p[3]) << 24);
}

inline void EncodeRequestHeader(const RequestHeader& h, uint8_t out[kRequestHeaderSize]) {
    StoreLe32(out + 0, h.magic);
    StoreLe32(out + 4, h.code);
    StoreLe32(out + 8, h.inLength);
    StoreLe32(out + 12, h.outLength);
}

inline RequestHeader DecodeRequestHeader(const uint8_t in[kRequestHeaderSize]) {
    return RequestHeader{LoadLe32(in + 0), LoadLe32(in + 4), LoadLe32(in + 8), LoadLe32(in + 12)};
}

inline void EncodeReplyHeader(const ReplyHeader& h, uint8_t out[kReplyHeaderSize]) {
    StoreLe32(out + 0, h.status);
    StoreLe32(out + 4, h.information);
}

inline ReplyHeader DecodeReplyHeader(const uint8_t in[kReplyHeaderSize]) {
    return ReplyHeader{LoadLe32(in + 0), LoadLe32(in + 4)};
}

enum class FrameCheck { kOk, kBadMagic, kTooLong };

// What the service does with a request header before anything reaches the driver.
inline FrameCheck CheckRequestHeader(const RequestHeader& h) {
    if (h.magic != kFrameMagic) {
        return FrameCheck::kBadMagic;
    }
    if (h.inLength > kFrameMaxData || h.outLength > kFrameMaxData) {
        return FrameCheck::kTooLong;
    }
    return FrameCheck::kOk;
}

// NTSTATUS success and informational values have the top bit clear; DeviceIoControl reports
// the rest as failure.
constexpr bool StatusSucceeded(KestU32 status) {
    return (status & 0x80000000u) == 0;
}
