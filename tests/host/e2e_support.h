// Helpers for tests that talk to a real kestatid through its sockets.
#pragma once

#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "app/device/device_transport.h"
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
