// zel as the user runs it: the real kestatid on a simulated RADEON 9800 PRO, the real zel binary
// offscreen (no notification area, so the main dialog stands in for the tray), first run in an
// empty directory, then SIGTERM.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "protocol/ioctl.h"
#include "tests/host/e2e_support.h"
#include "tests/shell/zel_process.h"

namespace kesttest {
namespace {

uint32_t BankRegister(uint32_t bank, uint32_t reg) {
    RawReply r = Raw(IOCTL_READ_BANK0_REG + 4 * bank, Le32(reg), 56);
    return r.status == kStatusSuccess && r.information == 56 ? r.Word(2) : 0xDEADBEEF;
}

// zel started in `dir` with the service's paths, standard error into dir/zel.log.
class Zel {
public:
    explicit Zel(const std::string& dir) : m_dir(dir) {}
    ~Zel() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            Wait();
        }
    }
    bool Start() {
        const int log = open((m_dir + "/zel.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        m_pid = SpawnZel(m_dir, log);
        close(log);
        return m_pid > 0;
    }
    // Polls (bounded) until `path` exists in the directory or zel has ended.
    bool WaitForFile(const std::string& name, int limitMs = 20000) {
        const long long end = MonotonicMs() + limitMs;
        while (MonotonicMs() < end) {
            if (access((m_dir + "/" + name).c_str(), F_OK) == 0) {
                return true;
            }
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                m_status = status;
                return false;
            }
            timespec pause{0, 5 * 1000 * 1000};
            nanosleep(&pause, nullptr);
        }
        return false;
    }
    bool WaitForLog(const std::string& text, int limitMs = 20000) const {
        const long long end = MonotonicMs() + limitMs;
        while (MonotonicMs() < end) {
            if (Log().find(text) != std::string::npos) {
                return true;
            }
            timespec pause{0, 5 * 1000 * 1000};
            nanosleep(&pause, nullptr);
        }
        return false;
    }
    // True (with the wait status) once zel has ended.
    bool Ended(int* status) {
        if (m_pid > 0) {
            int s = 0;
            if (waitpid(m_pid, &s, WNOHANG) != m_pid) {
                return false;
            }
            m_pid = -1;
            m_status = s;
        }
        *status = m_status;
        return true;
    }
    int Wait() {
        if (m_pid > 0) {
            int status = 0;
            while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
            m_pid = -1;
            m_status = status;
        }
        return m_status;
    }
    void Signal(int sig) const { kill(m_pid, sig); }
    std::string Log() const {
        std::ifstream in(m_dir + "/zel.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::string m_dir;
    pid_t m_pid = -1;
    int m_status = -1;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int32_t Field(const std::string& bytes, int index) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) {
        u |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[4 * index + i])) << (8 * i);
    }
    return static_cast<int32_t>(u);
}

TEST(ZelEndToEnd, FirstRunOffscreenThenTerminated) {
    TempDir serviceDir;
    TempDir stateDir;
    Kestatid service(serviceDir.Path());
    setenv("KESTATI_DEVICE", service.Socket().c_str(), 1);
    setenv("KESTATI_SERVICE_KEY", service.ServiceKey().c_str(), 1);
    ASSERT_TRUE(service.StartAndWait({"--board", "9800pro"}));
    // Something else in force before the program starts.
    ASSERT_EQ(Raw(IOCTL_SET_CLOCK_DIVIDERS, Le32(0x00707A0B), 0).status, kStatusSuccess);

    Zel zel(stateDir.Path());
    ASSERT_TRUE(zel.Start());
    ASSERT_TRUE(zel.WaitForFile("kest.txt")) << zel.Log();
    // First run: the defaults are stored and in force.
    const std::string file = Slurp(stateDir.Path() + "/kest.txt");
    ASSERT_EQ(file.size(), 8u);
    EXPECT_EQ(Field(file, 0), 380);
    EXPECT_EQ(Field(file, 1), 340);
    EXPECT_NEAR(std::stod(SimState("engine_mhz")), 380.0, 3.0);
    EXPECT_NEAR(std::stod(SimState("memory_mhz")), 340.0, 3.0);
    EXPECT_NE(zel.Log().find("no notification area"), std::string::npos) << zel.Log();

    struct stat before {};
    ASSERT_EQ(stat((stateDir.Path() + "/kest.txt").c_str(), &before), 0);
    ASSERT_EQ(Raw(IOCTL_ALARMS_ON, {}, 56).status, kStatusSuccess);
    ASSERT_EQ(BankRegister(0, 0x57) & 0x80, 0x80u);

    zel.Signal(SIGTERM);
    const int status = zel.Wait();
    ASSERT_TRUE(WIFEXITED(status)) << zel.Log();
    EXPECT_EQ(WEXITSTATUS(status), 0) << zel.Log();
    // The exit path stored the clocks read back from the board (a new file took the name) and
    // switched the alarms off.
    struct stat after {};
    ASSERT_EQ(stat((stateDir.Path() + "/kest.txt").c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    const std::string stored = Slurp(stateDir.Path() + "/kest.txt");
    ASSERT_EQ(stored.size(), 8u);
    EXPECT_NEAR(Field(stored, 0), 380, 3);
    EXPECT_NEAR(Field(stored, 1), 340, 3);
    EXPECT_EQ(BankRegister(0, 0x57) & 0x80, 0u);
    EXPECT_EQ(service.StopWith(SIGTERM), 0);
}

TEST(ZelEndToEnd, NoServiceIsDeviceAccessDenyAndExitOne) {
    TempDir serviceDir;
    TempDir stateDir;
    setenv("KESTATI_DEVICE", (serviceDir.Path() + "/absent.sock").c_str(), 1);
    Zel zel(stateDir.Path());
    ASSERT_TRUE(zel.Start());
    ASSERT_TRUE(zel.WaitForLog("no notification area")) << zel.Log();
    // "Device access deny" waits for the user; a termination signal closes the box as if the
    // user had, and the fatal path ends the program with 1. Sent until zel has gone, since the
    // box may not be up yet when the first arrives.
    int status = -1;
    for (int i = 0; i < 100 && !zel.Ended(&status); ++i) {
        zel.Signal(SIGTERM);
        timespec pause{0, 100 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(access((stateDir.Path() + "/kest.txt").c_str(), F_OK), -1);
}

// KESTATI_SIMULATE: no service at all, the driver hosted in zel on the board named.
TEST(ZelEndToEnd, SimulatedBoardWithoutServiceThenTerminated) {
    TempDir serviceDir;
    TempDir stateDir;
    setenv("KESTATI_DEVICE", (serviceDir.Path() + "/absent.sock").c_str(), 1);
    setenv("KESTATI_SERVICE_KEY", (serviceDir.Path() + "/KestATI.reg").c_str(), 1);
    setenv("KESTATI_SIMULATE", "9800pro", 1);
    Zel zel(stateDir.Path());
    const bool started = zel.Start();
    unsetenv("KESTATI_SIMULATE");
    ASSERT_TRUE(started);
    ASSERT_TRUE(zel.WaitForFile("kest.txt")) << zel.Log();
    const std::string file = Slurp(stateDir.Path() + "/kest.txt");
    ASSERT_EQ(file.size(), 8u);
    EXPECT_EQ(Field(file, 0), 380);
    EXPECT_EQ(Field(file, 1), 340);

    zel.Signal(SIGTERM);
    const int status = zel.Wait();
    ASSERT_TRUE(WIFEXITED(status)) << zel.Log();
    EXPECT_EQ(WEXITSTATUS(status), 0) << zel.Log();
    // The clocks read back from the hosted board's PLL.
    const std::string stored = Slurp(stateDir.Path() + "/kest.txt");
    ASSERT_EQ(stored.size(), 8u);
    EXPECT_NEAR(Field(stored, 0), 380, 3);
    EXPECT_NEAR(Field(stored, 1), 340, 3);
}

TEST(ZelEndToEnd, UnknownSimulatedBoardIsFatalAndNamesTheBoards) {
    TempDir stateDir;
    setenv("KESTATI_SIMULATE", "9800", 1);
    Zel zel(stateDir.Path());
    const bool started = zel.Start();
    unsetenv("KESTATI_SIMULATE");
    ASSERT_TRUE(started);
    const int status = zel.Wait();
    ASSERT_TRUE(WIFEXITED(status)) << zel.Log();
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(zel.Log().find("unknown board '9800' in KESTATI_SIMULATE; boards: 9600pro-a"),
              std::string::npos)
        << zel.Log();
    EXPECT_EQ(access((stateDir.Path() + "/kest.txt").c_str(), F_OK), -1);
}

}  // namespace
}  // namespace kesttest
