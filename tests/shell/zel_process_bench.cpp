// zel as a process on the running kestatid (simulated RADEON 9800 PRO), offscreen: the time from
// exec to the main dialog's first paint and the resident memory then (no notification area
// offscreen, so the main dialog is shown at start), and the CPU time it uses while idle.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/host/kestatid_process.h"
#include "tests/shell/zel_process.h"

namespace {

struct Running {
    pid_t pid = -1;
    int err = -1;  // read end of zel's standard error
};

// Starts zel in `dir` and returns once it reports its first paint (or has failed).
Running StartZel(const std::string& dir) {
    int fds[2];
    if (pipe(fds) != 0) {
        return {};
    }
    Running r;
    r.pid = kesttest::SpawnZel(dir, fds[1], true);
    close(fds[1]);
    r.err = fds[0];
    std::string seen;
    char buf[256];
    ssize_t n = 0;
    while (seen.find("zel: first paint") == std::string::npos &&
           (n = read(r.err, buf, sizeof buf)) > 0) {
        seen.append(buf, static_cast<size_t>(n));
    }
    return r;
}

void Stop(Running& r) {
    if (r.pid > 0) {
        kill(r.pid, SIGTERM);
        int status = 0;
        waitpid(r.pid, &status, 0);
    }
    if (r.err >= 0) {
        close(r.err);
    }
}

long StatusKiB(pid_t pid, const char* field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::atol(line.c_str() + prefix.size());
        }
    }
    return -1;
}

// utime + stime of the process in clock ticks.
long CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream rest(all.substr(all.rfind(')') + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) {
            utime = std::atol(field.c_str());
        } else if (i == 15) {
            stime = std::atol(field.c_str());
        }
    }
    return utime + stime;
}

class Service {
public:
    Service() : m_service(m_dir.Path()) {
        setenv("KESTATI_DEVICE", m_service.Socket().c_str(), 1);
        setenv("KESTATI_SERVICE_KEY", m_service.ServiceKey().c_str(), 1);
        m_ok = m_service.StartAndWait({"--board", "9800pro"});
    }
    bool Ok() const { return m_ok; }

private:
    kesttest::TempDir m_dir;
    kesttest::Kestatid m_service;
    bool m_ok = false;
};

void BM_ZelExecToFirstPaint(benchmark::State& state) {
    Service service;
    kesttest::TempDir stateDir;
    if (!service.Ok()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    long rss = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Running zel = StartZel(stateDir.Path());
        const auto painted = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
        // Resident memory once the dialog has settled.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        rss = StatusKiB(zel.pid, "VmRSS");
        Stop(zel);
    }
    state.counters["VmRSS_KiB"] = static_cast<double>(rss);
}
BENCHMARK(BM_ZelExecToFirstPaint)
    ->Iterations(1)
    ->Repetitions(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

void BM_ZelIdleCpuPerMinute(benchmark::State& state) {
    Service service;
    kesttest::TempDir stateDir;
    if (!service.Ok()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    const int seconds = std::getenv("ZEL_IDLE_SECONDS") != nullptr
                            ? std::atoi(std::getenv("ZEL_IDLE_SECONDS"))
                            : 10;
    double perMinuteMs = 0;
    for (auto _ : state) {
        Running zel = StartZel(stateDir.Path());
        const long before = CpuTicks(zel.pid);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const long after = CpuTicks(zel.pid);
        Stop(zel);
        const double ms = 1000.0 * static_cast<double>(after - before) /
                          static_cast<double>(sysconf(_SC_CLK_TCK));
        perMinuteMs = ms * 60.0 / seconds;
    }
    state.counters["cpu_ms_per_minute"] = perMinuteMs;
}
BENCHMARK(BM_ZelIdleCpuPerMinute)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
