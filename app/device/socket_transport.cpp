// The device as kestatid publishes it on Linux: one Unix-socket connection per open handle.
#include <errno.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>

#include "app/device/device_transport.h"
#include "common/unix_socket.h"
#include "protocol/frame.h"

namespace {

// A hung service must not freeze the caller (the GUI thread) for ever. A request normally
// completes in well under a millisecond; this is generous.
constexpr int kReplyTimeoutMs = 10000;

// The reply header and the output it announces, which must fit the caller's buffer. Both
// usually arrive in one piece, and one read then takes them together.
bool ReceiveReply(int fd, uint32_t outLength, ReplyHeader* reply, void* out) {
    uint8_t bytes[kReplyHeaderSize + kFrameMaxData];
    const size_t room = kReplyHeaderSize + std::min<size_t>(outLength, kFrameMaxData);
    size_t got = 0;
    size_t want = kReplyHeaderSize;
    while (got < want) {
        const size_t n = ReceiveSome(fd, bytes + got, room - got, kReplyTimeoutMs);
        if (n == 0) {
            return false;
        }
        got += n;
        if (want == kReplyHeaderSize && got >= kReplyHeaderSize) {
            *reply = DecodeReplyHeader(bytes);
            // More output than the caller's buffer holds is a broken reply, not a short copy.
            if (reply->information > room - kReplyHeaderSize) {
                return false;
            }
            want = kReplyHeaderSize + reply->information;
        }
    }
    if (reply->information > 0) {
        memcpy(out, bytes + kReplyHeaderSize, reply->information);
    }
    return true;
}

class SocketTransport : public DeviceTransport {
public:
    DeviceHandle Open(const char** why) override {
        const int fd = ConnectUnixSocket(DeviceSocketPath());
        if (fd < 0) {
            SetWhy(why, errno == ENAMETOOLONG ? "socket path too long" : strerror(errno));
            return kInvalidDeviceHandle;
        }
        return fd;
    }

    bool Control(DeviceHandle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                 uint32_t outLength, uint32_t* status, uint32_t* information) override {
        int fd = static_cast<int>(handle);
        // The header and an input of a size the service accepts leave in one piece.
        uint8_t frame[kRequestHeaderSize + kFrameMaxData];
        EncodeRequestHeader(RequestHeader{kFrameMagic, code, inLength, outLength}, frame);
        const size_t joined = inLength <= kFrameMaxData ? inLength : 0;
        if (joined > 0) {
            memcpy(frame + kRequestHeaderSize, in, joined);
        }
        if (!SendAll(fd, frame, kRequestHeaderSize + joined)) {
            return false;
        }
        if (joined < inLength && !SendAll(fd, static_cast<const uint8_t*>(in), inLength)) {
            return false;
        }
        ReplyHeader reply{};
        if (!ReceiveReply(fd, outLength, &reply, out)) {
            return false;
        }
        *status = reply.status;
        *information = reply.information;
        return true;
    }

    void Close(DeviceHandle handle) override { close(static_cast<int>(handle)); }

private:
    static void SetWhy(const char** why, const char* text) {
        if (why != nullptr) {
            *why = text;
        }
    }
};

}  // namespace

DeviceTransport& PlatformDeviceTransport() {
    static SocketTransport transport;
    return transport;
}
