// What the simulated machine records about the traffic it sees: every port access (when tracing
// is on) and every I2C transaction its engine carried out.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace sim {

// Where a part of the machine reports a message: a protocol violation, or something the model
// does not implement.
using MessageSink = std::function<void(const std::string&)>;
using ViolationSink = MessageSink;

struct PortAccess {
    uint8_t width;  // 8 or 32
    bool write;
    uint32_t port;
    uint32_t value;  // value written, or value the machine answered

    friend bool operator==(const PortAccess&, const PortAccess&) = default;
};

// Shorthands for building expected sequences in tests.
inline PortAccess Out8(uint32_t port, uint32_t value) {
    return {8, true, port, value};
}
inline PortAccess Out32(uint32_t port, uint32_t value) {
    return {32, true, port, value};
}
inline PortAccess In8(uint32_t port, uint32_t value) {
    return {8, false, port, value};
}
inline PortAccess In32(uint32_t port, uint32_t value) {
    return {32, false, port, value};
}

// "out32 0x0000cf8 <- 0x80010000" / "in8 0x0000c008 -> 0x0a"
std::string Describe(const PortAccess& access);
void PrintTo(const PortAccess& access, std::ostream* os);  // used by GoogleTest messages

enum class I2cOutcome {
    acknowledged,   // every byte was taken by the device
    noAcknowledge,  // no device answered, or the device refused (status bit 1)
    halted,         // the engine halted (status bit 2): halt fault or a malformed transfer
    stuckBusy,      // the engine never finished (status stays busy)
    abandoned,      // control 0 was rewritten before the phase finished: nothing reached the device
};

struct I2cTransaction {
    bool read;        // false: register write; true: register read (address phase + receive)
    uint8_t address;  // 8-bit bus address in its write form (bit 0 clear), e.g. 0x5E
    uint8_t reg;
    uint8_t value;  // byte written, or byte received (0 when the read did not complete)
    I2cOutcome outcome;
    std::string detail;  // why it failed; empty when acknowledged

    friend bool operator==(const I2cTransaction&, const I2cTransaction&) = default;
};

const char* OutcomeName(I2cOutcome outcome);
// "write 0x5e[0x40] = 0x80 ok" / "read 0x5f[0x58] -> 0x30 ok" / "... no-ack (no device at 0x5e)"
std::string Describe(const I2cTransaction& transaction);
void PrintTo(const I2cTransaction& transaction, std::ostream* os);

}  // namespace sim
