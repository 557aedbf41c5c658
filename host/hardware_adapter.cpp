#include "host/hardware_adapter.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "protocol/ioctl.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define KEST_HAVE_IOPERM 1
#endif

namespace host {
namespace {

constexpr size_t kConfigSize = 256;
constexpr size_t kHeaderSize = 0x30;  // ids, class and BARs, which any user may read

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

uint32_t Dword(const uint8_t* bytes, size_t offset) {
    return uint32_t{bytes[offset]} | uint32_t{bytes[offset + 1]} << 8 |
           uint32_t{bytes[offset + 2]} << 16 | uint32_t{bytes[offset + 3]} << 24;
}

std::string Ids(const HardwareAdapter& a) {
    return Format("%04x:%04x", a.pciId & 0xFFFF, a.pciId >> 16);
}

std::string Named(const std::vector<HardwareAdapter>& found) {
    std::string text;
    for (const HardwareAdapter& a : found) {
        text += (text.empty() ? "" : ", ") + a.slot + " (" + Ids(a) + ")";
    }
    return text;
}

bool Reachable(const std::string& slot) {
    return slot.compare(0, 5, "0000:") == 0 && slot.size() == 12 && slot.back() == '0';
}

}  // namespace

bool FindHardwareAdapter(SysfsFiles& files, const std::string& root, bool checkAccess,
                         HardwareAdapter* adapter, std::string* error) {
    std::vector<HardwareAdapter> displays;
    for (const std::string& slot : files.List("bus/pci/devices")) {
        uint8_t header[kHeaderSize];
        if (files.Read(PciDeviceFile(slot, "config"), 0, header, sizeof(header)) !=
                static_cast<long>(sizeof(header)) ||
            header[0x0B] != 0x03) {
            continue;
        }
        HardwareAdapter a;
        a.slot = slot;
        a.pciId = Dword(header, 0x00);
        a.classRev = Dword(header, 0x08);
        a.subsystemId = Dword(header, 0x2C);
        a.bars = ReadPciResources(files, slot);
        a.driver = files.LinkName(PciDeviceFile(slot, "driver"));
        displays.push_back(a);
    }
    const std::string where = root + "/bus/pci/devices";
    if (displays.empty()) {
        *error = "kestatid: no display adapter found in " + where +
                 "; hardware mode needs a supported Radeon board (without --hardware kestatid "
                 "runs on a simulated board)";
        return false;
    }
    if (displays.size() > 1) {
        *error = Format(
            "kestatid: found %zu display adapters: %s; hardware mode drives a machine "
            "with exactly one, so remove or disable the others in the firmware setup",
            displays.size(), Named(displays).c_str());
        return false;
    }
    *adapter = displays[0];
    if (!IsSupportedAdapter(adapter->pciId)) {
        *error = "kestatid: the display adapter " + Named(displays) +
                 " is not one the KestATI driver supports (Radeon 9500/9600/9700/9800 PRO, "
                 "9200); nothing to do on this machine";
        return false;
    }
    if (!Reachable(adapter->slot)) {
        *error = "kestatid: the display adapter " + Named(displays) +
                 " is outside PCI domain 0 or not function 0, where the driver cannot find it";
        return false;
    }
    if (adapter->bars.size() < 2 || !adapter->bars[1].Io() || adapter->bars[1].Size() == 0 ||
        adapter->bars[1].end > 0xFFFF) {
        *error = "kestatid: the display adapter " + Named(displays) + " has no I/O BAR (BAR1 in " +
                 where + "/" + adapter->slot +
                 "/resource); enable its I/O decoding in the firmware setup";
        return false;
    }
    adapter->window = {static_cast<uint32_t>(adapter->bars[1].start),
                       static_cast<uint32_t>(adapter->bars[1].end)};
    if (!checkAccess) {
        return true;
    }
    uint8_t config[kConfigSize];
    if (files.Read(PciDeviceFile(adapter->slot, "config"), 0, config, sizeof(config)) !=
        static_cast<long>(sizeof(config))) {
        *error = "kestatid: cannot read all of " + where + "/" + adapter->slot +
                 "/config (the kernel shows only 64 bytes without CAP_SYS_ADMIN); run as root "
                 "or through the kestatid-hardware unit";
        return false;
    }
    if (files.Writable(PciDeviceFile(adapter->slot, "resource1"))) {
        adapter->path = WindowPath::resourceFile;
        return true;
    }
    const int fileErrno = errno;
#ifdef KEST_HAVE_IOPERM
    // The ports are this machine's only when the files are: never behind a stand-in for /sys.
    const IoWindow& w = adapter->window;
    if (root == "/sys" && ioperm(w.first, w.last - w.first + 1, 1) == 0) {
        adapter->path = WindowPath::portIo;
        return true;
    }
#endif
    *error = Format(
        "kestatid: cannot open %s/%s/resource1 for reading and writing (%s) nor "
        "get the ports 0x%X-0x%X (CAP_SYS_RAWIO); run as root or through the "
        "kestatid-hardware unit",
        where.c_str(), adapter->slot.c_str(), strerror(fileErrno), adapter->window.first,
        adapter->window.last);
    return false;
}

std::string DescribeHardwareAdapter(const HardwareAdapter& a, const std::string& root,
                                    bool resource1Writable) {
    const std::string dir = root + "/bus/pci/devices/" + a.slot;
    std::string text = Format(
        "adapter %s: %s subsystem %04x:%04x class %06x revision %02x\n"
        "kernel driver: %s\n",
        a.slot.c_str(), Ids(a).c_str(), a.subsystemId & 0xFFFF, a.subsystemId >> 16,
        a.classRev >> 8, a.classRev & 0xFF, a.driver.empty() ? "none" : a.driver.c_str());
    for (size_t i = 0; i < a.bars.size() && i < 6; ++i) {
        const PciResource& bar = a.bars[i];
        if (bar.Size() == 0) {
            continue;
        }
        text += Format("BAR%zu: 0x%llx-0x%llx %s, %llu bytes\n", i,
                       static_cast<unsigned long long>(bar.start),
                       static_cast<unsigned long long>(bar.end), bar.Io() ? "I/O" : "memory",
                       static_cast<unsigned long long>(bar.Size()));
    }
    text += "would read: " + dir + "/config and " + dir +
            "/resource, and the config file of every function the driver's scan reaches\n";
    if (resource1Writable) {
        text += "would read and write: " + dir + "/resource1 (ports " +
                Format("0x%X-0x%X", a.window.first, a.window.last) + ")\n";
    } else {
        text += Format(
            "would reach ports 0x%X-0x%X through ioperm, since %s/resource1 is not "
            "writable by this user\n",
            a.window.first, a.window.last, dir.c_str());
    }
    text += "would write no configuration register: BAR0 sizing is answered from resource\n";
    text += "service: systemctl enable --now kestatid-hardware@" + a.slot + ".service\n";
    return text;
}

}  // namespace host
