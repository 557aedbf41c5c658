// The kernel's files that hardware mode reaches the machine through, named relative to the sysfs
// root ("bus/pci/devices/0000:01:00.0/config"). Behind this interface are the real files under
// /sys (or a directory standing in for it); tests put the simulated machine there instead.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

namespace host {

class SysfsFiles {
public:
    virtual ~SysfsFiles() = default;
    // Bytes read at `offset` (fewer at the end of the file), or -1 when the file cannot be read.
    virtual long Read(const std::string& path, uint64_t offset, void* data, size_t length) = 0;
    // Bytes written, or -1 when the file cannot be written.
    virtual long Write(const std::string& path, uint64_t offset, const void* data,
                       size_t length) = 0;
    // Whether the file can be opened for reading and writing; nothing is read or written.
    virtual bool Writable(const std::string& path) = 0;
    // The names in a directory, sorted; empty when it cannot be read.
    virtual std::vector<std::string> List(const std::string& dir) = 0;
    // The last part of a symbolic link's target ("radeon" for a device's driver link); empty when
    // there is no such link.
    virtual std::string LinkName(const std::string& path) = 0;
};

// The files under `root` ("/sys", or a test's stand-in). Each file stays open once used, so a
// port access costs one pread or pwrite.
std::unique_ptr<SysfsFiles> OpenSysfsFiles(const std::string& root);

// Where a PCI function's files are: "bus/pci/devices/0000:01:00.0/" + name.
std::string PciDeviceFile(const std::string& slot, const std::string& name);
// "0000:01:00.0" for domain 0.
std::string PciSlotName(unsigned bus, unsigned device, unsigned function);

// One line of a function's `resource` file: the range the kernel assigned to a BAR (both 0 when
// the BAR is unused) and the kernel's flags for it.
struct PciResource {
    uint64_t start = 0;
    uint64_t end = 0;
    uint64_t flags = 0;

    bool Io() const { return (flags & 0x100) != 0; }  // the kernel's I/O resource flag
    uint64_t Size() const { return end > start ? end - start + 1 : 0; }
};
// The BARs in order (BAR0 first); empty when the file cannot be read.
std::vector<PciResource> ReadPciResources(SysfsFiles& files, const std::string& slot);

}  // namespace host
