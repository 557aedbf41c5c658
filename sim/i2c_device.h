// A device on the adapter's I2C bus as the engine sees it: a register pointer set by the
// address phase, then one byte written or received.
#pragma once

#include <cstdint>

namespace sim {

class I2cDevice {
public:
    virtual ~I2cDevice() = default;
    // False when the device does not acknowledge the register byte.
    virtual bool SelectRegister(uint8_t reg) = 0;
    // Write to the selected register; false when the data byte is not acknowledged.
    virtual bool WriteSelected(uint8_t value) = 0;
    // Read the selected register; false when the device cannot answer.
    virtual bool ReadSelected(uint8_t& value) = 0;
};

}  // namespace sim
