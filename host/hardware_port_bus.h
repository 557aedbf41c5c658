// The port bus of hardware mode: the driver's port accesses become accesses to the kernel's files
// for the adapter, so nothing else on the machine is touched and the kernel's own configuration
// cycles never interleave with ours.
//
//   0xCF8        32-bit configuration address, latched here; it reaches no hardware.
//   0xCFC-0xCFF  configuration data: reads of the latched function's `config` file at the latched
//                register (all ones for a clear enable bit or a function without that file).
//                Writes: BAR0 sizing (all ones, then the base written back) is answered from the
//                function's `resource` file and never reaches the device, whose aperture must not
//                move while the kernel displays through it; every other write is refused.
//   I/O window   the adapter's I/O BAR range: 1- or 4-byte reads and writes of its `resource1`
//                file at the offset, or port I/O on exactly that range when the file is unusable.
//   Any other port is refused and reads all ones.
// A refusal is logged once per port (per register for configuration writes).
#pragma once

#include <stdint.h>

#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "host/sysfs_files.h"
#include "sim/port_bus.h"

namespace host {

// The adapter's I/O ports, first and last inclusive.
struct IoWindow {
    uint32_t first = 0;
    uint32_t last = 0;
};

enum class WindowPath {
    resourceFile,  // the device's resource1 file
    portIo,        // in/out instructions on the window, allowed by ioperm
};

class HardwarePortBus : public PortBus {
public:
    using Log = std::function<void(const std::string& line)>;

    HardwarePortBus(SysfsFiles& files, std::string adapterSlot, IoWindow window, WindowPath path,
                    Log log);

    uint8_t ReadPort8(uint32_t port) override;
    uint32_t ReadPort32(uint32_t port) override;
    void WritePort8(uint32_t port, uint8_t value) override;
    void WritePort32(uint32_t port, uint32_t value) override;

private:
    uint32_t Read(uint32_t port, int width);
    void Write(uint32_t port, int width, uint32_t value);
    uint32_t ConfigRead(uint32_t byte, int width);
    void ConfigWrite(uint32_t value);
    uint32_t BarSizeMask(const std::string& slot);
    bool InWindow(uint32_t port, int width) const;
    uint32_t WindowRead(uint32_t port, int width);
    void WindowWrite(uint32_t port, int width, uint32_t value);
    std::string PortRefusal(const char* access, uint32_t port) const;
    void Refuse(const std::string& what, uint64_t key);

    SysfsFiles& m_files;
    std::string m_adapterResource1;
    IoWindow m_window;
    WindowPath m_path;
    Log m_log;

    std::mutex m_lock;  // the latch, the sizing state and the refusals logged
    uint32_t m_address = 0;
    std::set<std::string> m_sizing;  // slots whose BAR0 is being sized
    std::set<uint64_t> m_logged;
};

}  // namespace host
