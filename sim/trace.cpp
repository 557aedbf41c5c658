#include "sim/trace.h"

#include "sim/hex.h"

#include <cstdio>
#include <ostream>

namespace sim {

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*x", digits, value);
    return text;
}

std::string Describe(const PortAccess& access) {
    char text[64];
    if (access.width == 8) {
        std::snprintf(text, sizeof text, "%s8 0x%04x %s 0x%02x", access.write ? "out" : "in",
                      access.port, access.write ? "<-" : "->", access.value);
    } else {
        std::snprintf(text, sizeof text, "%s%u 0x%04x %s 0x%08x", access.write ? "out" : "in",
                      static_cast<unsigned>(access.width), access.port, access.write ? "<-" : "->",
                      access.value);
    }
    return text;
}

void PrintTo(const PortAccess& access, std::ostream* os) {
    *os << Describe(access);
}

const char* OutcomeName(I2cOutcome outcome) {
    switch (outcome) {
        case I2cOutcome::acknowledged:
            return "ok";
        case I2cOutcome::noAcknowledge:
            return "no-ack";
        case I2cOutcome::halted:
            return "halted";
        case I2cOutcome::stuckBusy:
            return "stuck-busy";
        case I2cOutcome::abandoned:
            return "abandoned";
    }
    return "?";
}

std::string Describe(const I2cTransaction& t) {
    char text[96];
    if (t.read) {
        std::snprintf(text, sizeof text, "read 0x%02x[0x%02x] -> 0x%02x %s", t.address | 1, t.reg,
                      t.value, OutcomeName(t.outcome));
    } else {
        std::snprintf(text, sizeof text, "write 0x%02x[0x%02x] = 0x%02x %s", t.address, t.reg,
                      t.value, OutcomeName(t.outcome));
    }
    std::string result = text;
    if (!t.detail.empty()) {
        result += " (" + t.detail + ")";
    }
    return result;
}

void PrintTo(const I2cTransaction& transaction, std::ostream* os) {
    *os << Describe(transaction);
}

}  // namespace sim
