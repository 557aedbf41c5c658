// What the hosted kernel's port I/O reaches on Linux: the simulated machine, or (later) real
// ports. Accesses are 8 or 32 bits wide, as the driver uses them.
#pragma once

#include <stdint.h>

class PortBus {
public:
    virtual ~PortBus() = default;
    virtual uint8_t ReadPort8(uint32_t port) = 0;
    virtual uint32_t ReadPort32(uint32_t port) = 0;
    virtual void WritePort8(uint32_t port, uint8_t value) = 0;
    virtual void WritePort32(uint32_t port, uint32_t value) = 0;
};
