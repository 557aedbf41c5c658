// Finding the adapter hardware mode drives, from the kernel's PCI files alone: exactly one
// display adapter on the machine, one the driver supports, with an I/O BAR whose files this
// process may use. Nothing is written while looking.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "host/hardware_port_bus.h"
#include "host/sysfs_files.h"

namespace host {

struct HardwareAdapter {
    std::string slot;          // "0000:01:00.0"
    uint32_t pciId = 0;        // device id << 16 | vendor id
    uint32_t classRev = 0;     // configuration dword 0x08
    uint32_t subsystemId = 0;  // configuration dword 0x2C
    std::vector<PciResource> bars;
    std::string driver;  // the kernel driver bound to it; empty when none
    IoWindow window;
    WindowPath path = WindowPath::resourceFile;
};

// Fills *adapter, or returns false with *error set to the one line to print: what was found and
// what to do. With checkAccess, also decides how the I/O window is reached and refuses when
// neither way is permitted (this may grant the process the window's ports through ioperm, which
// is tried only when `root` is the real /sys). `root` names the sysfs root in messages.
bool FindHardwareAdapter(SysfsFiles& files, const std::string& root, bool checkAccess,
                         HardwareAdapter* adapter, std::string* error);

// What `kestatid --hardware --probe` prints: the adapter, its BARs and bound driver, and every
// file hardware mode would use.
std::string DescribeHardwareAdapter(const HardwareAdapter& adapter, const std::string& root,
                                    bool resource1Writable);

}  // namespace host
