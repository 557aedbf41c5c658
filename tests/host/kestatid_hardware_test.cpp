// kestatid --hardware over a directory standing in for /sys: a 9800 PRO's configuration bytes,
// its resource table and, for its I/O window, a plain file (so the window's writes land there and
// nothing on this machine is touched).
#include <gtest/gtest.h>

#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/device_socket.h"
#include "sim/machine.h"
#include "tests/host/e2e_support.h"

namespace {

const char* const kAdapterResource =
    "0x00000000d0000000 0x00000000dfffffff 0x0000000000042208\n"
    "0x000000000000c000 0x000000000000c0ff 0x0000000000040101\n"
    "0x00000000fe9f0000 0x00000000fe9fffff 0x0000000000040200\n";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A PCI function's configuration bytes as the simulated 9800 PRO machine holds them.
std::string ConfigBytes(int bus, int device, size_t size) {
    sim::RealClock clock;
    std::unique_ptr<sim::Machine> machine = sim::Machine::Create("9800pro", clock);
    std::string bytes;
    for (uint8_t offset = 0; bytes.size() < size; offset += 4) {
        const uint32_t dword = machine->PciConfig(bus, device, 0, offset);
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>(dword >> (8 * i));
        }
    }
    return bytes;
}

// DIR/bus/pci/devices with a host bridge and the adapter; `adapter` lists its files by name.
std::string MakeTree(const std::string& dir,
                     const std::vector<std::pair<std::string, std::string>>& adapter) {
    const std::string devices = dir + "/sys/bus/pci/devices/";
    for (const std::string& d : {dir + "/sys", dir + "/sys/bus", dir + "/sys/bus/pci", devices,
                                 devices + "0000:00:00.0", devices + "0000:01:00.0"}) {
        mkdir(d.c_str(), 0755);
    }
    WriteFile(devices + "0000:00:00.0/config", ConfigBytes(0, 0, 256));
    for (const auto& [name, bytes] : adapter) {
        WriteFile(devices + "0000:01:00.0/" + name, bytes);
    }
    return dir + "/sys";
}

struct Outcome {
    int exitCode = -1;
    std::string output;  // standard output and error
};

Outcome RunKestatid(const std::string& arguments) {
    Outcome outcome;
    FILE* pipe = popen((std::string(KESTATID_PATH) + " " + arguments + " 2>&1").c_str(), "r");
    char buffer[512];
    while (pipe != nullptr && fgets(buffer, sizeof(buffer), pipe) != nullptr) {
        outcome.output += buffer;
    }
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

TEST(KestatidHardware, KestctlInfoReadsTheAdapterAndTheConfigurationStaysByteForByte) {
    kesttest::TempDir dir;
    const std::string config = ConfigBytes(1, 0, 256);
    const std::string sys = MakeTree(dir.Path(), {{"config", config},
                                                  {"resource", kAdapterResource},
                                                  {"resource1", std::string(256, '\0')}});
    kesttest::Kestatid service(dir.Path());
    setenv(kDeviceSocketEnv, service.Socket().c_str(), 1);
    ASSERT_TRUE(service.StartAndWait({"--hardware", "--sysfs", sys})) << service.Log();
    const kesttest::CtlResult info = kesttest::Ctl({"info"});
    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("pciId 0x4E481002 device 0x4E48 vendor 0x1002\n"), std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("ioBase 0x0000C000"), std::string::npos) << info.out;
    const int status = service.StopWith(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << service.Log();
    EXPECT_EQ(ReadFile(sys + "/bus/pci/devices/0000:01:00.0/config"), config);
    EXPECT_EQ(service.Log().find("refused"), std::string::npos) << service.Log();
    EXPECT_EQ(service.Log().find("board control"), std::string::npos) << service.Log();
}

TEST(KestatidHardware, ProbeReportsTheAdapterAndWhatItWouldUseAndTouchesNothing) {
    kesttest::TempDir dir;
    const std::string config = ConfigBytes(1, 0, 256);
    const std::string sys = MakeTree(
        dir.Path(),
        {{"config", config}, {"resource", kAdapterResource}, {"resource1", std::string(256, 'x')}});
    const Outcome probe = RunKestatid("--hardware --probe --sysfs " + sys);
    EXPECT_EQ(probe.exitCode, 0);
    const std::string adapterDir = sys + "/bus/pci/devices/0000:01:00.0";
    for (const std::string& line :
         {std::string("adapter 0000:01:00.0: 1002:4e48 subsystem 1002:0002 class 030000"),
          std::string("kernel driver: none\n"),
          std::string("BAR0: 0xd0000000-0xdfffffff memory, 268435456 bytes\n"),
          std::string("BAR1: 0xc000-0xc0ff I/O, 256 bytes\n"),
          "would read and write: " + adapterDir + "/resource1 (ports 0xC000-0xC0FF)\n",
          std::string(
              "service: systemctl enable --now kestatid-hardware@0000:01:00.0.service\n")}) {
        EXPECT_NE(probe.output.find(line), std::string::npos) << line << "\n" << probe.output;
    }
    EXPECT_EQ(ReadFile(adapterDir + "/config"), config);
    EXPECT_EQ(ReadFile(adapterDir + "/resource1"), std::string(256, 'x'));
}

TEST(KestatidHardware, EachRefusalIsOneLineAndExitOneBeforeAnythingIsWritten) {
    const std::string config = ConfigBytes(1, 0, 256);
    const std::string noIoBar =
        "0x00000000d0000000 0x00000000dfffffff 0x0000000000042208\n"
        "0x0000000000000000 0x0000000000000000 0x0000000000000000\n";
    struct Row {
        const char* what;
        std::vector<std::pair<std::string, std::string>> adapter;
        const char* line;  // how the one line starts
        const char* extra = "";
    } rows[] = {
        {"no I/O BAR",
         {{"config", config}, {"resource", noIoBar}},
         "kestatid: the display adapter 0000:01:00.0 (1002:4e48) has no I/O BAR"},
        {"configuration space cut to 64 bytes, as for a user without CAP_SYS_ADMIN",
         {{"config", config.substr(0, 64)}, {"resource", kAdapterResource}},
         "kestatid: cannot read all of "},
        {"no resource1 (and no port I/O behind a stand-in for /sys)",
         {{"config", config}, {"resource", kAdapterResource}},
         "kestatid: cannot open "},
        {"the unit names another slot",
         {{"config", config}, {"resource", kAdapterResource}, {"resource1", std::string(256, 0)}},
         "kestatid: found the adapter at 0000:01:00.0, not at 0000:02:00.0 as asked",
         " --slot 0000:02:00.0"},
    };
    for (const Row& row : rows) {
        kesttest::TempDir dir;
        const std::string sys = MakeTree(dir.Path(), row.adapter);
        const Outcome outcome =
            RunKestatid("--hardware --sysfs " + sys + " --socket " + dir.Path() +
                        "/kestati.sock --service-key " + dir.Path() + "/KestATI.reg" + row.extra);
        EXPECT_EQ(outcome.exitCode, 1) << row.what;
        EXPECT_EQ(outcome.output.rfind(row.line, 0), 0u) << row.what << ": " << outcome.output;
        EXPECT_EQ(std::count(outcome.output.begin(), outcome.output.end(), '\n'), 1)
            << row.what << ": " << outcome.output;
        struct stat st;
        EXPECT_NE(stat((dir.Path() + "/kestati.sock").c_str(), &st), 0) << row.what;
        EXPECT_NE(stat((dir.Path() + "/KestATI.reg").c_str(), &st), 0) << row.what;
    }
}

}  // namespace
