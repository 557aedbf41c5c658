// Helpers for tests that talk to a real kestatid through its sockets.
#pragma once

#include <dirent.h>
#include <poll.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/device/device_transport.h"
#include "protocol/frame.h"
#include "tests/host/kestatid_process.h"
#include "tools/kestctl/kestctl.h"

namespace kesttest {

struct RawReply {
    bool answered = false;
    uint32_t status = 0;
    uint32_t information = 0;
    std::vector<uint8_t> bytes;

    uint32_t Word(size_t index) const {
        size_t at = index * 4;
        if (bytes.size() < at + 4) {
            return 0xDEADBEEF;
        }
        return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
               (static_cast<uint32_t>(bytes[at + 3]) << 24);
    }
};

inline std::vector<uint8_t> Le32(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

// Descriptors open in a process ("self" or a pid).
inline int OpenDescriptorCount(const std::string& process = "self") {
    int count = 0;
    DIR* d = opendir(("/proc/" + process + "/fd").c_str());
    if (d == nullptr) {
        return -1;
    }
    while (dirent* e = readdir(d)) {
        count += e->d_name[0] != '.';
    }
    closedir(d);
    return count;
}

// Resident memory of a process in KiB, from its status file; -1 when it cannot be read.
inline long ResidentKiBOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, 6, "VmRSS:") == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

inline int ConnectRaw(const std::string& path) {
    return ConnectUnixSocket(path);
}

inline std::vector<uint8_t> Frame(uint32_t magic, uint32_t code, uint32_t inLength,
                                  uint32_t outLength, const std::vector<uint8_t>& input) {
    std::vector<uint8_t> f(kRequestHeaderSize + input.size());
    EncodeRequestHeader(RequestHeader{magic, code, inLength, outLength}, f.data());
    for (size_t i = 0; i < input.size(); ++i) {
        f[kRequestHeaderSize + i] = input[i];
    }
    return f;
}

// Everything the server sends until it closes the connection (waits at most `limitMs`).
inline std::vector<uint8_t> ReadUntilClosed(int fd, int limitMs = 10000) {
    std::vector<uint8_t> data;
    long long end = MonotonicMs() + limitMs;
    while (MonotonicMs() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(end - MonotonicMs())) <= 0) {
            break;
        }
        uint8_t buffer[256];
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return data;
        }
        data.insert(data.end(), buffer, buffer + n);
    }
    data.push_back(0xEE);  // marker: the server never closed
    return data;
}

// One request through the platform transport (the device socket), exactly as given.
inline RawReply Raw(uint32_t code, const std::vector<uint8_t>& in, uint32_t outLength) {
    RawReply r;
    DeviceTransport& t = PlatformDeviceTransport();
    DeviceHandle h = t.Open(nullptr);
    if (h == kInvalidDeviceHandle) {
        return r;
    }
    std::vector<uint8_t> out(outLength, 0xCC);
    r.answered =
        t.Control(h, code, in.empty() ? nullptr : in.data(), static_cast<uint32_t>(in.size()),
                  out.empty() ? nullptr : out.data(), outLength, &r.status, &r.information);
    t.Close(h);
    out.resize(r.information < outLength ? r.information : outLength);
    r.bytes = out;
    return r;
}

struct CtlResult {
    int code;
    std::string out;
    std::string err;
};

inline CtlResult Ctl(std::vector<const char*> args) {
    args.insert(args.begin(), "kestctl");
    CtlResult r;
    r.code = RunKestctl(static_cast<int>(args.size()), args.data(), &r.out, &r.err);
    return r;
}

// The value of `key` in `kestctl sim state`.
inline std::string SimState(const std::string& key) {
    CtlResult r = Ctl({"sim", "state"});
    std::string prefix = key + "=";
    size_t at = r.out.find("\n" + prefix);
    size_t start =
        at == std::string::npos ? (r.out.rfind(prefix, 0) == 0 ? 0 : std::string::npos) : at + 1;
    if (start == std::string::npos) {
        return "<missing>";
    }
    size_t end = r.out.find('\n', start);
    return r.out.substr(start + prefix.size(), end - start - prefix.size());
}

}  // namespace kesttest
