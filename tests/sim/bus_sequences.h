// The exact port sequences the driver uses, written out once for the simulator's own tests:
// PCI configuration access, the I2C engine's register write and read for both engine families,
// bank selection and the chip start-up. Each I2C call returns -1 on failure like the driver.
#pragma once

#include <cstdint>

#include "sim/port_bus.h"
#include "sim/board_catalogue.h"

namespace simtest {

constexpr int kPollRounds = 65535;

uint32_t ConfigRead(PortBus& bus, int busNo, int device, int function, uint8_t offset);
void ConfigWrite(PortBus& bus, int busNo, int device, int function, uint8_t offset, uint32_t value);

struct Engine {
    PortBus& ports;
    uint32_t ioBase;
    sim::I2cFamily family;
    int lastPolls = 0;        // status reads of the last phase
    uint32_t lastStatus = 0;  // status & 7 at the end of the last phase
};

int I2cWriteByte(Engine& engine, uint8_t address, uint8_t reg, uint8_t value);
int64_t I2cReadByte(Engine& engine, uint8_t address, uint8_t reg);  // data word or -1

// Chip operations built from the transactions, as the driver builds them.
int SelectBank(Engine& engine, int bank);
int64_t ReadChip(Engine& engine, uint8_t reg);
int WriteChip(Engine& engine, uint8_t reg, uint8_t value);
int ReadModifyWrite(Engine& engine, uint8_t reg, uint8_t andMask, uint8_t orMask);
void StartChip(Engine& engine, uint32_t pciId);  // reset, set-up, fan, sensors, alarms

// The first display controller in bus/device order, as the adapter scan finds it: returns false
// when there is none.
bool FindFirstDisplay(PortBus& bus, int& busNo, int& device);

}  // namespace simtest
