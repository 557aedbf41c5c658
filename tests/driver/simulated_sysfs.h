// The kernel's PCI files on a PC that is a simulated board, for running hardware mode's port bus
// on the simulator: `bus/pci/devices/<slot>/config` for each function the machine has,
// `resource` with the ranges its firmware assigned, and the adapter's `resource1`. Configuration
// reads reach the machine the way the kernel makes them, a dword at a time through 0xCF8/0xCFC;
// resource1 reaches the adapter's I/O window with 1- or 4-byte accesses, as the kernel allows.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "host/hardware_port_bus.h"
#include "host/sysfs_files.h"
#include "sim/machine.h"

namespace kest_test {

class SimulatedSysfs : public host::SysfsFiles {
public:
    explicit SimulatedSysfs(sim::Machine& machine);

    long Read(const std::string& path, uint64_t offset, void* data, size_t length) override;
    long Write(const std::string& path, uint64_t offset, const void* data, size_t length) override;
    bool Writable(const std::string& path) override;
    std::vector<std::string> List(const std::string& dir) override;
    std::string LinkName(const std::string&) override { return std::string(); }

    // Where the board's adapter is and its I/O window, as hardware mode would find them.
    std::string AdapterSlot() const { return m_adapterSlot; }
    host::IoWindow Window() const;
    // File reads and writes made so far.
    uint64_t Operations() const { return m_operations.load(); }

private:
    struct Function {
        uint8_t bus;
        uint8_t device;
        std::string resource;  // the resource file's text
    };
    // The function and the file name a path names; nullptr when there is no such file.
    const Function* Find(const std::string& path, std::string* file) const;

    sim::Machine& m_machine;
    std::string m_adapterSlot;
    std::map<std::string, Function> m_functions;  // by slot
    std::atomic<uint64_t> m_operations{0};
    std::mutex m_configLock;  // the kernel's configuration cycles never overlap
};

}  // namespace kest_test
