// The device as kestatid publishes it on Linux: one Unix-socket connection per open handle.
#include <errno.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/device/device_transport.h"
#include "protocol/frame.h"

namespace {

// A hung service must not freeze the caller (the GUI thread) for ever. A request normally
// completes in well under a millisecond; this is generous.
constexpr int kReplyTimeoutMs = 10000;

bool SendAll(int fd, const uint8_t* data, size_t length) {
    while (length > 0) {
        ssize_t n = send(fd, data, length, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool ReceiveAll(int fd, uint8_t* data, size_t length) {
    while (length > 0) {
        pollfd p{fd, POLLIN, 0};
        int ready = poll(&p, 1, kReplyTimeoutMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        ssize_t n = recv(fd, data, length, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

class SocketTransport : public DeviceTransport {
public:
    DeviceHandle Open(const char** why) override {
        const char* path = DeviceSocketPath();
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (strlen(path) >= sizeof address.sun_path) {
            SetWhy(why, "socket path too long");
            return kInvalidDeviceHandle;
        }
        strcpy(address.sun_path, path);
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            SetWhy(why, strerror(errno));
            return kInvalidDeviceHandle;
        }
        int rc;
        do {
            rc = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        } while (rc < 0 && errno == EINTR);
        if (rc < 0) {
            SetWhy(why, strerror(errno));
            close(fd);
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
        if (inLength > 0 && !SendAll(fd, static_cast<const uint8_t*>(in), inLength)) {
            return false;
        }
        uint8_t replyBytes[kReplyHeaderSize];
        if (!ReceiveAll(fd, replyBytes, sizeof replyBytes)) {
            return false;
        }
        ReplyHeader reply = DecodeReplyHeader(replyBytes);
        // More output than the caller's buffer holds is a broken reply, not a short copy.
        if (reply.information > outLength) {
            return false;
        }
        if (reply.information > 0 &&
            !ReceiveAll(fd, static_cast<uint8_t*>(out), reply.information)) {
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
