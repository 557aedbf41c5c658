// The boards the simulated machine can be, by name. Each entry describes one PC: where its
// graphics adapter sits on PCI, what the adapter's configuration space holds, how its clock
// synthesiser comes out of power-on, and what its monitor chip measures at rest.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace sim {

// How the adapter's I2C engine is reached: through ports in the I/O window, or through adapter
// registers behind the window's index/data pair.
enum class I2cFamily { direct, indexed };

// A PCI function-0 device other than the adapter (bridges, controllers, other display cards).
struct PciDeviceSpec {
    uint8_t bus;
    uint8_t device;
    uint32_t pciId;        // device id << 16 | vendor id
    uint32_t classRev;     // config dword 0x08: class code in bits 31-8, revision in 7-0
    uint32_t subsystemId;  // config dword 0x2C
    uint32_t bar0;         // initial BAR0, flag bits included; 0 when none
    uint32_t bar0Size;     // bytes decoded by BAR0 (power of two); 0 when none
    uint8_t secondaryBus;  // PCI-to-PCI bridges: the bus behind them; 0 otherwise
};

struct BoardSpec {
    const char* name;
    const char* description;

    bool hasAdapter;  // false only for a machine without any display controller
    uint32_t pciId;
    uint32_t subsystemId;
    uint32_t classRev;         // config 0x08; class 0x03 in the top byte
    uint32_t apertureSizeMiB;  // decoded by BAR0
    uint32_t agpStatus;        // config 0x5C
    uint32_t bar0;             // aperture base with its flag bits (0x8: prefetchable memory)
    uint32_t bar1;             // I/O window base with bit 0 set (I/O BAR, 256 ports)
    uint8_t bus;
    uint8_t device;
    I2cFamily i2cFamily;

    // Clock synthesiser after power-on: the divider word and the two post-divider registers.
    uint32_t pll0A;
    uint32_t pll0D;
    uint32_t pll12;
    // The clocks those words decode to, used by the thermal model as "stock".
    int defaultEngineMhz;
    int defaultMemoryMhz;

    // Fan: speed at full drive, and the drive level at which it is reached.
    int fanMaxRpm;
    int fanFullDrive;

    // Nominal rail voltages (millivolts) seen at the monitor chip's inputs.
    int in1Mv, in2Mv, in5Mv, in6Mv, in7Mv, in8Mv;
    // Temperature rise above ambient (°C) at stock clocks with the fan at full speed.
    int vpuRiseC;
    int memoryRiseC;

    bool hasMonitorChip;

    // Everything else on PCI: the common bus-0 devices plus, for the scan-edge layouts, other
    // display controllers.
    std::vector<PciDeviceSpec> otherDevices;
};

// nullptr for an unknown name.
const BoardSpec* FindBoard(std::string_view name);
// Every catalogue name, in catalogue order.
std::vector<std::string_view> BoardNames();

// The divider word's decoding as the adapter's clock synthesiser does it:
// clock = feedback * 54 / (reference * post factor) MHz; 0 for a reference of 0 or an invalid
// post code.
int EnginePostFactor(uint32_t postCode);  // codes 1..4 -> 1, 2, 4, 8; else 0
int MemoryPostFactor(uint32_t postCode);  // codes 1..4 -> 2, 2, 4, 8; else 0
double DecodeEngineMhz(uint32_t pll0A, uint32_t pll0D);
double DecodeMemoryMhz(uint32_t pll0A, uint32_t pll12);

}  // namespace sim
