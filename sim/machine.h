// The simulated PC: PCI configuration space, one graphics adapter (I/O window, clock synthesiser,
// I2C engine), the devices on the adapter's I2C bus and a small thermal model. It is reached only
// through port accesses, like hardware, and it is strict: anything but the documented access
// patterns misbehaves the way hardware would and is also written to the violation channel, which
// tests assert empty. What hardware would answer but this model leaves out goes to a channel of
// its own (Unimplemented), so a gap in the model is never mistaken for a caller's fault.
//
// Ports
//   0xCF8/0xCFC  PCI configuration mechanism #1 (sim/pci_config.h). Partial accesses to the pair
//                are not modelled: reads answer all ones, writes are dropped, both are reported
//                as unimplemented.
//   I/O window   the adapter's registers, PLL and I2C engine at BAR1 & ~3 (sim/adapter.h).
//   Ports nothing decodes read all ones; writing them is a violation.
//
// I2C engine
//   Control 0 (write): bits 31-16 bus timing, 0x1414; bit 12 go; bit 10 receive (the phase sends
//     the read address and clocks one byte in); bits 9-8 start and stop conditions (both set for
//     every phase); bit 5 soft reset: flushes the transmit FIFO, clears the status and the
//     received byte; bit 4 bus select, which the indexed family needs in its set-up and go words
//     and the direct family leaves clear; bits 2-0 write-one-to-clear status. A write without the
//     go bit also abandons a transfer still in progress: none of it reaches the device, and the
//     I2C log records it as abandoned. The go words that start a phase are exactly
//     0x14141300 / 0x14141700 (direct) and 0x14141310 / 0x14141710 (indexed).
//   Control 0 (read): the last word written with the go bit cleared, and the status in bits 2-0:
//     0 busy, 1 done, bit 1 no acknowledge, bit 2 halted. After each go the first N reads (see
//     SetBusyPolls) answer busy; the read that first finds the phase over is when it happens on
//     the bus (the device is written, or the received byte arrives in data), so a driver that
//     does not wait for the end of a phase gets nothing from it.
//   Control 1: transaction mode, 0x28030012 for a register write (address, register, value) and
//     0x28030011 for a register read (address, register; then a receive phase); 0 when idle.
//   Data (write): pushes bits 7-0 into a 16-byte transmit FIFO; a full FIFO drops the byte.
//   Data (read): the received byte in bits 7-0.
//   A phase is well formed when, at go, the status has been cleared since the previous phase and
//   the FIFO holds exactly: write mode [address & 0xFE, register, value]; read mode
//   [address & 0xFE, register]; receive [address | 1] of the device just addressed in read mode.
//   Anything else halts the engine (status 4) and is a violation. A device that is absent, or a
//   register it does not have, is not acknowledged (status 2); that is normal bus behaviour, not a
//   violation.
//
// Devices on the I2C bus (8-bit addresses)
//   0x5E/0x5F       the monitor chip: registers 0x00-0x4F, banks 0-6 of 0x50-0x5F (0x4E bits 2-0).
//   sub-sensors     two temperature devices behind the chip at the addresses chip register 0x4A
//                   selects (0x90 | (r & 7) << 1, 0x90 | ((r >> 4) & 7) << 1); registers 0
//                   temperature, 1 configuration, 2 and 3 limits. When both addresses coincide the
//                   first answers.
//   0x70/0x71       an auxiliary device in the chip's package: registers 0x00-0x03 readable.
//   Without the chip (board without one, or SetChipPresent(false)) none of them answers.
//
// Beeper: see sim/monitor_chip.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/port_bus.h"
#include "sim/board_catalogue.h"
#include "sim/clock.h"
#include "sim/sensor.h"
#include "sim/trace.h"

namespace sim {

class Machine : public PortBus {
public:
    // nullptr for an unknown board name. The clock must outlive the machine.
    static std::unique_ptr<Machine> Create(std::string_view boardName, Clock& clock);
    ~Machine() override;

    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // PortBus: each access is atomic; sequences of accesses are not.
    uint8_t ReadPort8(uint32_t port) override;
    uint32_t ReadPort32(uint32_t port) override;
    void WritePort8(uint32_t port, uint8_t value) override;
    void WritePort32(uint32_t port, uint32_t value) override;

    // --- Trace and violations ---
    void SetTraceEnabled(bool enabled);  // port trace; off at creation
    std::vector<PortAccess> TakeTrace();
    std::vector<I2cTransaction> TakeI2cLog();  // always recorded (the newest 65536 kept)
    std::vector<std::string> Violations() const;
    void ClearViolations();
    // Accesses the model answers only by a default because it does not implement what they reach.
    std::vector<std::string> Unimplemented() const;
    void ClearUnimplemented();

    // --- Faults ---
    void SetChipPresent(bool present);
    // A transaction is one register write or one register read (address phase plus receive); it
    // is counted, and refused, at its address phase.
    void SetNackOnTransaction(int n);  // the n-th transaction from now (1 = next) is refused, once
    void SetNackEvery(int k);          // every k-th transaction from now is refused; 0 = off
    void SetEngineStuckBusy(bool stuck);
    void SetHaltBit(bool halt);
    void SetAdapterRemoved(bool removed);    // the adapter's configuration space reads all ones
    void SetIoBarAllOnes(bool allOnes);      // BAR1 reads 0xFFFFFFFF; the window stays where it was
    void SetInvalidPostCodes(bool invalid);  // PLL 0x0D and 0x12 read with post code 0
    void SetFanStalled(bool stalled);
    void SetAmbientHeat(int extraDegreesC);
    // The chip reports exactly this value (user units) converted as the hardware converts it: at
    // once for the sub-sensors, from the next access on for the chip's own inputs while monitoring
    // runs.
    void PinSensor(Sensor sensor, int value);
    void UnpinSensor(Sensor sensor);
    void SetBusyPolls(int n);  // status reads answering busy after each go; 1 at creation

    // --- Observation without port traffic (never traced, never a violation) ---
    uint8_t ChipRegister(int bank, uint8_t reg) const;  // bank ignored below 0x50
    // Test set-up, no side effects; measurement registers are overwritten while monitoring runs.
    void SetChipRegister(int bank, uint8_t reg, uint8_t value);
    uint8_t SubSensorRegister(int which, uint8_t reg) const;  // which: 0 first, 1 second
    uint32_t PllRegister(uint8_t index) const;                // the stored word, faults aside
    uint8_t PllIndex() const;
    uint32_t PciConfig(int bus, int device, int function, uint8_t offset) const;
    double EngineMhz() const;
    double MemoryMhz() const;
    int FanDrive() const;  // bank-0 register 0x5B; 255 when no chip answers (the fan runs flat out)
    int FanRpm() const;    // the fan's real speed
    int Bank() const;      // register 0x4E bits 2-0
    bool BeeperOn() const;
    // Why it sounds, e.g. "temp3 75 C above limit 70"; empty when it is off.
    std::vector<std::string> BeeperCauses() const;
    int SensorValue(Sensor sensor) const;  // what the chip reports now, in user units
    bool ChipStarted() const;              // monitoring running (register 0x40 bit 0)
    // engine_mhz memory_mhz fan_drive fan_rpm bank pll_index monitoring beeper [beeper_causes],
    // then one line per sensor by its name.
    std::vector<std::pair<std::string, std::string>> StateLines() const;
    const BoardSpec& Board() const;

    class Impl;

private:
    explicit Machine(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace sim
