// The device as kestatid publishes it on Linux: one Unix-socket connection per open handle.
#include <errno.h>
#include <string.h>
#include <unistd.h>

#include "app/device/device_transport.h"
#include "common/unix_socket.h"
#include "protocol/frame.h"

namespace {

// A hung service must not freeze the caller (the GUI thread) for ever. A request normally
// completes in well under a millisecond; this is generous.
constexpr int kReplyTimeoutMs = 10000;

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
        uint8_t header[kRequestHeaderSize];
        EncodeRequestHeader(RequestHeader{kFrameMagic, code, inLength, outLength}, header);
        if (!SendAll(fd, header, sizeof header)) {
            return false;
        }
        if (inLength > 0 && !SendAll(fd, in, inLength)) {
            return false;
        }
        uint8_t replyBytes[kReplyHeaderSize];
        if (!ReceiveAll(fd, replyBytes, sizeof replyBytes, kReplyTimeoutMs)) {
            return false;
        }
        ReplyHeader reply = DecodeReplyHeader(replyBytes);
        // More output than the caller's buffer holds is a broken reply, not a short copy.
        if (reply.information > outLength) {
            return false;
        }
        if (reply.information > 0 && !ReceiveAll(fd, out, reply.information, kReplyTimeoutMs)) {
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
