// The socket transport against a scripted service: the request frame it sends, and replies that
// arrive whole, in pieces, oversized or cut off.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <linux/sockios.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/device/device_transport.h"
#include "protocol/frame.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Reply(uint32_t status, uint32_t information, const Bytes& output) {
    Bytes bytes(kReplyHeaderSize + output.size());
    EncodeReplyHeader(ReplyHeader{status, information}, bytes.data());
    std::copy(output.begin(), output.end(), bytes.begin() + kReplyHeaderSize);
    return bytes;
}

// One connection's worth of service: takes the request frame, then sends each piece only once
// the client has read everything before it, so that the pieces reach it apart; then closes.
class ScriptedService {
public:
    ScriptedService() {
        char pattern[] = "/tmp/kest-transport-XXXXXX";
        m_dir = mkdtemp(pattern);
        m_path = m_dir + "/device.sock";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        m_path.copy(address.sun_path, sizeof address.sun_path - 1);
        m_listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_EQ(bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(listen(m_listener, 4), 0);
        setenv(kDeviceSocketEnv, m_path.c_str(), 1);
    }
    ~ScriptedService() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
        close(m_listener);
        unlink(m_path.c_str());
        rmdir(m_dir.c_str());
        unsetenv(kDeviceSocketEnv);
    }

    void Serve(std::vector<Bytes> pieces) {
        m_thread = std::thread([this, pieces] {
            int fd = accept(m_listener, nullptr, nullptr);
            uint8_t header[kRequestHeaderSize];
            ReadExactly(fd, header, sizeof header);
            m_request.assign(header, header + sizeof header);
            Bytes input(DecodeRequestHeader(header).inLength);
            ReadExactly(fd, input.data(), input.size());
            m_request.insert(m_request.end(), input.begin(), input.end());
            for (const Bytes& piece : pieces) {
                send(fd, piece.data(), piece.size(), MSG_NOSIGNAL);
                int unread = 1;
                while (ioctl(fd, SIOCOUTQ, &unread) == 0 && unread > 0) {
                    std::this_thread::yield();
                }
            }
            close(fd);
        });
    }

    // What the client sent; valid once Control has returned.
    Bytes Request() {
        m_thread.join();
        return m_request;
    }

private:
    static void ReadExactly(int fd, uint8_t* data, size_t length) {
        while (length > 0) {
            ssize_t n = recv(fd, data, length, 0);
            if (n <= 0) {
                return;
            }
            data += n;
            length -= static_cast<size_t>(n);
        }
    }

    std::string m_dir;
    std::string m_path;
    int m_listener = -1;
    std::thread m_thread;
    Bytes m_request;
};

struct Outcome {
    bool answered;
    uint32_t status;
    uint32_t information;
    Bytes output;
};

Outcome Request(uint32_t code, const Bytes& input, uint32_t outLength) {
    DeviceTransport& transport = PlatformDeviceTransport();
    DeviceHandle handle = transport.Open(nullptr);
    EXPECT_NE(handle, kInvalidDeviceHandle);
    Outcome outcome{false, 0, 0, Bytes(outLength, 0xEE)};
    outcome.answered = transport.Control(handle, code, input.empty() ? nullptr : input.data(),
                                         static_cast<uint32_t>(input.size()), outcome.output.data(),
                                         outLength, &outcome.status, &outcome.information);
    transport.Close(handle);
    return outcome;
}

TEST(SocketTransport, SendsHeaderAndInputAsOneFrame) {
    ScriptedService service;
    service.Serve({Reply(kStatusSuccess, 0, {})});
    const Outcome outcome = Request(0x2204EC, {0x78, 0x56, 0x34, 0x12}, 0);
    EXPECT_TRUE(outcome.answered);
    Bytes expected(kRequestHeaderSize);
    EncodeRequestHeader(RequestHeader{kFrameMagic, 0x2204EC, 4, 0}, expected.data());
    expected.insert(expected.end(), {0x78, 0x56, 0x34, 0x12});
    EXPECT_EQ(service.Request(), expected);
}

TEST(SocketTransport, RepliesWholeOrInPiecesReadAlike) {
    const Bytes output = {1, 2, 3, 4, 5, 6, 7, 8};
    const Bytes whole = Reply(kStatusSuccess, 8, output);
    const std::vector<std::vector<Bytes>> scripts = {
        {whole},
        {Bytes(whole.begin(), whole.begin() + 3), Bytes(whole.begin() + 3, whole.end())},
        {Bytes(whole.begin(), whole.begin() + 8), Bytes(whole.begin() + 8, whole.end())},
        {Bytes(whole.begin(), whole.begin() + 10), Bytes(whole.begin() + 10, whole.end() - 1),
         Bytes(whole.end() - 1, whole.end())},
    };
    for (const std::vector<Bytes>& script : scripts) {
        ScriptedService service;
        service.Serve(script);
        const Outcome outcome = Request(0x2204C4, {}, 8);
        EXPECT_TRUE(outcome.answered) << script.size();
        EXPECT_EQ(outcome.status, kStatusSuccess);
        EXPECT_EQ(outcome.information, 8u);
        EXPECT_EQ(outcome.output, output) << script.size();
    }
}

TEST(SocketTransport, ShortOutputAndFailureStatusesComeThrough) {
    ScriptedService service;
    service.Serve({Reply(kStatusBufferTooSmall, 2, {9, 9})});
    const Outcome outcome = Request(0x2204C4, {}, 8);
    EXPECT_TRUE(outcome.answered);
    EXPECT_EQ(outcome.status, kStatusBufferTooSmall);
    EXPECT_EQ(outcome.information, 2u);
    EXPECT_EQ(outcome.output, (Bytes{9, 9, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST(SocketTransport, BrokenRepliesAreNoAnswer) {
    const Bytes whole = Reply(kStatusSuccess, 4, {1, 2, 3, 4});
    const std::vector<std::vector<Bytes>> scripts = {
        {},                                           // closed without a word
        {Bytes(whole.begin(), whole.begin() + 5)},    // half a header
        {Bytes(whole.begin(), whole.end() - 1)},      // output cut short
        {Reply(kStatusSuccess, 5, {1, 2, 3, 4, 5})},  // more than the caller's buffer
    };
    for (const std::vector<Bytes>& script : scripts) {
        ScriptedService service;
        service.Serve(script);
        const Outcome outcome = Request(0x2204C4, {}, 4);
        EXPECT_FALSE(outcome.answered) << (script.empty() ? 0 : script[0].size());
    }
}

}  // namespace
