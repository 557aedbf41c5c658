#include "host/hardware_port_bus.h"

#include <stdio.h>
#include <string.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define KEST_HAVE_PORT_IO 1
#endif

namespace host {
namespace {

constexpr uint32_t kConfigAddress = 0xCF8;
constexpr uint32_t kConfigData = 0xCFC;
constexpr uint32_t kEnable = 0x80000000;
constexpr uint32_t kBar0 = 0x10;
constexpr uint32_t kAllOnes = 0xFFFFFFFF;
// Enough to name every refusal that matters; a client walking the whole port space would
// otherwise grow the set without bound.
constexpr size_t kMostRefusalsLogged = 256;

std::string SlotOf(uint32_t address) {
    return PciSlotName((address >> 16) & 0xFF, (address >> 11) & 0x1F, (address >> 8) & 7);
}

uint32_t Ones(int width) {
    return width == 8 ? 0xFF : kAllOnes;
}

}  // namespace

std::string HardwarePortBus::PortRefusal(const char* access, uint32_t port) const {
    char text[128];
    snprintf(text, sizeof(text), "%s of port 0x%X outside the adapter's I/O window 0x%X-0x%X",
             access, port, m_window.first, m_window.last);
    return text;
}

HardwarePortBus::HardwarePortBus(SysfsFiles& files, std::string adapterSlot, IoWindow window,
                                 WindowPath path, Log log)
    : m_files(files),
      m_adapterResource1(PciDeviceFile(adapterSlot, "resource1")),
      m_window(window),
      m_path(path),
      m_log(std::move(log)) {}

uint8_t HardwarePortBus::ReadPort8(uint32_t port) {
    return static_cast<uint8_t>(Read(port, 8));
}

uint32_t HardwarePortBus::ReadPort32(uint32_t port) {
    return Read(port, 32);
}

void HardwarePortBus::WritePort8(uint32_t port, uint8_t value) {
    Write(port, 8, value);
}

void HardwarePortBus::WritePort32(uint32_t port, uint32_t value) {
    Write(port, 32, value);
}

uint32_t HardwarePortBus::Read(uint32_t port, int width) {
    if (InWindow(port, width)) {
        return WindowRead(port, width);
    }
    std::lock_guard<std::mutex> guard(m_lock);
    if (port == kConfigAddress && width == 32) {
        return m_address;
    }
    if (port >= kConfigData && port + width / 8 <= kConfigData + 4) {
        return ConfigRead(port - kConfigData, width);
    }
    Refuse(PortRefusal("read", port), port);
    return Ones(width);
}

void HardwarePortBus::Write(uint32_t port, int width, uint32_t value) {
    if (InWindow(port, width)) {
        WindowWrite(port, width, value);
        return;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    if (port == kConfigAddress && width == 32) {
        m_address = value;
        return;
    }
    if (port == kConfigData && width == 32) {
        ConfigWrite(value);
        return;
    }
    Refuse(PortRefusal("write", port), port);
}

uint32_t HardwarePortBus::ConfigRead(uint32_t byte, int width) {
    if ((m_address & kEnable) == 0) {
        return Ones(width);
    }
    const std::string slot = SlotOf(m_address);
    const uint32_t reg = m_address & 0xFC;
    if (reg == kBar0 && width == 32 && m_sizing.count(slot) != 0) {
        return BarSizeMask(slot);
    }
    uint8_t bytes[4];
    const size_t length = static_cast<size_t>(width / 8);
    if (m_files.Read(PciDeviceFile(slot, "config"), reg + byte, bytes, length) !=
        static_cast<long>(length)) {
        return Ones(width);
    }
    uint32_t value = 0;
    for (size_t i = length; i-- > 0;) {
        value = value << 8 | bytes[i];
    }
    return value;
}

void HardwarePortBus::ConfigWrite(uint32_t value) {
    const std::string slot = SlotOf(m_address);
    const uint32_t reg = m_address & 0xFC;
    if ((m_address & kEnable) != 0 && reg == kBar0) {
        if (value == kAllOnes) {
            m_sizing.insert(slot);
            return;
        }
        // Writing the base back ends the sizing; the BAR itself was never changed.
        const std::vector<PciResource> bars = ReadPciResources(m_files, slot);
        if (m_sizing.count(slot) != 0 && !bars.empty() && (value & ~0xFu) == bars[0].start) {
            m_sizing.erase(slot);
            return;
        }
    }
    char what[96];
    snprintf(what, sizeof(what), "configuration write of 0x%08X to register 0x%02X of %s", value,
             reg, slot.c_str());
    Refuse(what, uint64_t{1} << 32 | m_address);
}

// What the BAR would read after all ones were written: the size mask over the BAR's flag bits,
// both known from the range the kernel assigned (the kernel keeps the BAR's flag bits in the low
// bits of the resource's flags).
uint32_t HardwarePortBus::BarSizeMask(const std::string& slot) {
    const std::vector<PciResource> bars = ReadPciResources(m_files, slot);
    if (bars.empty()) {
        return kAllOnes;  // no such function
    }
    if (bars[0].Size() == 0) {
        return 0;  // an unimplemented BAR reads back zero
    }
    const PciResource& bar = bars[0];
    const uint64_t flagBits = bar.flags & (bar.Io() ? 0x3 : 0xF);
    return static_cast<uint32_t>(~(bar.Size() - 1) | flagBits);
}

bool HardwarePortBus::InWindow(uint32_t port, int width) const {
    const uint64_t last = uint64_t{port} + static_cast<uint64_t>(width / 8) - 1;
    return m_window.last != 0 && port >= m_window.first && last <= m_window.last;
}

uint32_t HardwarePortBus::WindowRead(uint32_t port, int width) {
    if (m_path == WindowPath::resourceFile) {
        uint32_t value = 0;
        const size_t length = static_cast<size_t>(width / 8);
        if (m_files.Read(m_adapterResource1, port - m_window.first, &value, length) !=
            static_cast<long>(length)) {
            return Ones(width);
        }
        return value;
    }
#ifdef KEST_HAVE_PORT_IO
    return width == 8 ? inb(static_cast<uint16_t>(port)) : inl(static_cast<uint16_t>(port));
#else
    return Ones(width);
#endif
}

void HardwarePortBus::WindowWrite(uint32_t port, int width, uint32_t value) {
    if (m_path == WindowPath::resourceFile) {
        const size_t length = static_cast<size_t>(width / 8);
        uint8_t bytes[4];
        memcpy(bytes, &value, sizeof(bytes));
        m_files.Write(m_adapterResource1, port - m_window.first, bytes, length);
        return;
    }
#ifdef KEST_HAVE_PORT_IO
    if (width == 8) {
        outb(static_cast<uint8_t>(value), static_cast<uint16_t>(port));
    } else {
        outl(value, static_cast<uint16_t>(port));
    }
#endif
}

void HardwarePortBus::Refuse(const std::string& what, uint64_t key) {
    if (m_logged.size() >= kMostRefusalsLogged || !m_logged.insert(key).second) {
        return;
    }
    std::string line = "kestatid: refused " + what;
    if (m_logged.size() == kMostRefusalsLogged) {
        line += "; further refusals are not logged";
    }
    m_log(line);
}

}  // namespace host
