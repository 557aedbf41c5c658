#include "tests/driver/simulated_sysfs.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace kest_test {
namespace {

constexpr size_t kConfigSize = 256;
constexpr uint32_t kWindowSize = 0x100;
constexpr const char* kDevices = "bus/pci/devices/";

// Six BARs and the expansion ROM, as the kernel lists them.
std::string ResourceText(uint32_t bar0, uint32_t bar0Size, uint32_t ioBase) {
    std::string text;
    char line[64];
    for (int i = 0; i < 7; ++i) {
        uint64_t start = 0, end = 0, flags = 0;
        if (i == 0 && bar0Size != 0) {
            start = bar0 & ~0xFu;
            end = start + bar0Size - 1;
            // memory, prefetchable when flagged, with the BAR's flag bits at the bottom
            flags = ((bar0 & 8) != 0 ? 0x42200 : 0x40200) | (bar0 & 0xF);
        } else if (i == 1 && ioBase != 0) {
            start = ioBase;
            end = ioBase + kWindowSize - 1;
            flags = 0x40101;  // I/O
        }
        std::snprintf(line, sizeof(line), "0x%016" PRIx64 " 0x%016" PRIx64 " 0x%016" PRIx64 "\n",
                      start, end, flags);
        text += line;
    }
    return text;
}

}  // namespace

SimulatedSysfs::SimulatedSysfs(sim::Machine& machine)
    : m_machine(machine),
      m_adapterSlot(host::PciSlotName(machine.Board().bus, machine.Board().device, 0)) {
    const sim::BoardSpec& board = machine.Board();
    for (int bus = 0; bus < 256; ++bus) {
        for (int device = 0; device < 32; ++device) {
            if (machine.PciConfig(bus, device, 0, 0) == 0xFFFFFFFF) {
                continue;
            }
            Function f{static_cast<uint8_t>(bus), static_cast<uint8_t>(device), std::string()};
            if (board.hasAdapter && bus == board.bus && device == board.device) {
                f.resource =
                    ResourceText(board.bar0, board.apertureSizeMiB << 20, board.bar1 & ~3u);
            } else {
                for (const sim::PciDeviceSpec& d : board.otherDevices) {
                    if (d.bus == bus && d.device == device) {
                        f.resource = ResourceText(d.bar0, d.bar0Size, 0);
                    }
                }
            }
            m_functions[host::PciSlotName(bus, device, 0)] = f;
        }
    }
}

host::IoWindow SimulatedSysfs::Window() const {
    const uint32_t base = m_machine.Board().bar1 & ~3u;
    return {base, base + kWindowSize - 1};
}

const SimulatedSysfs::Function* SimulatedSysfs::Find(const std::string& path,
                                                     std::string* file) const {
    const size_t prefix = std::strlen(kDevices);
    if (path.compare(0, prefix, kDevices) != 0) {
        return nullptr;
    }
    const size_t slash = path.find('/', prefix);
    if (slash == std::string::npos) {
        return nullptr;
    }
    auto found = m_functions.find(path.substr(prefix, slash - prefix));
    if (found == m_functions.end()) {
        return nullptr;
    }
    *file = path.substr(slash + 1);
    const bool adapter = found->first == AdapterSlot() && m_machine.Board().hasAdapter;
    if (*file == "config" || *file == "resource" || (*file == "resource1" && adapter)) {
        return &found->second;
    }
    return nullptr;
}

long SimulatedSysfs::Read(const std::string& path, uint64_t offset, void* data, size_t length) {
    ++m_operations;
    std::string file;
    const Function* f = Find(path, &file);
    if (f == nullptr) {
        return -1;
    }
    uint8_t* out = static_cast<uint8_t*>(data);
    if (file == "resource") {
        if (offset >= f->resource.size()) {
            return 0;
        }
        const size_t n = std::min(length, static_cast<size_t>(f->resource.size() - offset));
        std::memcpy(out, f->resource.data() + offset, n);
        return static_cast<long>(n);
    }
    if (file == "resource1") {
        if (offset + length > kWindowSize || (length != 1 && length != 4)) {
            return -1;
        }
        const uint32_t port = Window().first + static_cast<uint32_t>(offset);
        const uint32_t value = length == 1 ? m_machine.ReadPort8(port) : m_machine.ReadPort32(port);
        std::memcpy(out, &value, length);
        return static_cast<long>(length);
    }
    // config: the kernel reads whole dwords through mechanism #1 and hands out the bytes asked.
    std::lock_guard<std::mutex> guard(m_configLock);
    size_t n = 0;
    while (n < length && offset + n < kConfigSize) {
        const uint32_t reg = static_cast<uint32_t>(offset + n) & 0xFC;
        m_machine.WritePort32(0xCF8, 0x80000000u | f->bus << 16 | f->device << 11 | reg);
        const uint32_t dword = m_machine.ReadPort32(0xCFC);
        for (uint32_t byte = static_cast<uint32_t>(offset + n) & 3; byte < 4 && n < length;
             ++byte) {
            out[n++] = static_cast<uint8_t>(dword >> (8 * byte));
        }
    }
    return static_cast<long>(n);
}

long SimulatedSysfs::Write(const std::string& path, uint64_t offset, const void* data,
                           size_t length) {
    ++m_operations;
    std::string file;
    const Function* f = Find(path, &file);
    if (f == nullptr || file == "resource") {
        return -1;
    }
    uint32_t value = 0;
    if ((length != 1 && length != 4) || (file == "resource1" && offset + length > kWindowSize) ||
        (file == "config" && (length != 4 || offset % 4 != 0 || offset >= kConfigSize))) {
        return -1;
    }
    std::memcpy(&value, data, length);
    if (file == "config") {
        std::lock_guard<std::mutex> guard(m_configLock);
        m_machine.WritePort32(
            0xCF8, 0x80000000u | f->bus << 16 | f->device << 11 | static_cast<uint32_t>(offset));
        m_machine.WritePort32(0xCFC, value);
    } else if (length == 1) {
        m_machine.WritePort8(Window().first + static_cast<uint32_t>(offset),
                             static_cast<uint8_t>(value));
    } else {
        m_machine.WritePort32(Window().first + static_cast<uint32_t>(offset), value);
    }
    return static_cast<long>(length);
}

bool SimulatedSysfs::Writable(const std::string& path) {
    std::string file;
    return Find(path, &file) != nullptr && file != "resource";
}

std::vector<std::string> SimulatedSysfs::List(const std::string& dir) {
    std::vector<std::string> slots;
    if (dir + "/" == kDevices) {
        for (const auto& entry : m_functions) {
            slots.push_back(entry.first);
        }
    }
    return slots;
}

}  // namespace kest_test
