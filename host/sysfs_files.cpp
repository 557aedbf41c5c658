#include "host/sysfs_files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <inttypes.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>

namespace host {
namespace {

class RealSysfsFiles : public SysfsFiles {
public:
    explicit RealSysfsFiles(std::string root) : m_root(std::move(root)) {}
    ~RealSysfsFiles() override {
        for (auto& entry : m_open) {
            if (entry.second >= 0) {
                close(entry.second);
            }
        }
    }

    long Read(const std::string& path, uint64_t offset, void* data, size_t length) override {
        int fd = Descriptor(path, O_RDONLY);
        if (fd < 0) {
            return -1;
        }
        ssize_t done;
        do {
            done = pread(fd, data, length, static_cast<off_t>(offset));
        } while (done < 0 && errno == EINTR);
        return static_cast<long>(done);
    }

    long Write(const std::string& path, uint64_t offset, const void* data, size_t length) override {
        int fd = Descriptor(path, O_RDWR);
        if (fd < 0) {
            return -1;
        }
        ssize_t done;
        do {
            done = pwrite(fd, data, length, static_cast<off_t>(offset));
        } while (done < 0 && errno == EINTR);
        return static_cast<long>(done);
    }

    bool Writable(const std::string& path) override { return Descriptor(path, O_RDWR) >= 0; }

    std::vector<std::string> List(const std::string& dir) override {
        std::vector<std::string> names;
        DIR* d = opendir(Full(dir).c_str());
        if (d == nullptr) {
            return names;
        }
        while (dirent* entry = readdir(d)) {
            if (entry->d_name[0] != '.') {
                names.push_back(entry->d_name);
            }
        }
        closedir(d);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string LinkName(const std::string& path) override {
        char target[PATH_MAX];
        ssize_t n = readlink(Full(path).c_str(), target, sizeof(target) - 1);
        if (n <= 0) {
            return std::string();
        }
        std::string text(target, static_cast<size_t>(n));
        size_t slash = text.rfind('/');
        return slash == std::string::npos ? text : text.substr(slash + 1);
    }

private:
    std::string Full(const std::string& path) const { return m_root + "/" + path; }

    // One descriptor per file and mode, opened on first use; a file that could not be opened is
    // remembered too, so an absent PCI function costs nothing on the next scan.
    int Descriptor(const std::string& path, int mode) {
        std::lock_guard<std::mutex> guard(m_lock);
        const std::string key = (mode == O_RDWR ? "w " : "r ") + path;
        auto found = m_open.find(key);
        if (found != m_open.end()) {
            return found->second;
        }
        int fd = open(Full(path).c_str(), mode | O_CLOEXEC);
        m_open[key] = fd;
        return fd;
    }

    std::string m_root;
    std::mutex m_lock;
    std::map<std::string, int> m_open;
};

}  // namespace

std::unique_ptr<SysfsFiles> OpenSysfsFiles(const std::string& root) {
    return std::make_unique<RealSysfsFiles>(root);
}

std::string PciDeviceFile(const std::string& slot, const std::string& name) {
    return "bus/pci/devices/" + slot + "/" + name;
}

std::string PciSlotName(unsigned bus, unsigned device, unsigned function) {
    char text[32];
    snprintf(text, sizeof(text), "0000:%02x:%02x.%x", bus & 0xFF, device & 0x1F, function & 7);
    return text;
}

std::vector<PciResource> ReadPciResources(SysfsFiles& files, const std::string& slot) {
    std::vector<PciResource> resources;
    char text[4096];
    long n = files.Read(PciDeviceFile(slot, "resource"), 0, text, sizeof(text) - 1);
    if (n <= 0) {
        return resources;
    }
    text[n] = '\0';
    const char* line = text;
    PciResource r;
    while (sscanf(line, "%" SCNx64 " %" SCNx64 " %" SCNx64, &r.start, &r.end, &r.flags) == 3) {
        resources.push_back(r);
        line = strchr(line, '\n');
        if (line == nullptr) {
            break;
        }
        ++line;
    }
    return resources;
}

}  // namespace host
