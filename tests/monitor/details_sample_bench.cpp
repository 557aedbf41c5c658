// One sample of the hardware details dialog (the fan item: a fan reading and the drive read-back,
// the status line, the alarm step, the text and the chart), through the kestatid socket and
// through the in-process transport. Reports the median of 200 samples' thread CPU time and wall
// time as counters (microseconds).
#include <benchmark/benchmark.h>

#include <QApplication>

#include <time.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/device/device_client.h"
#include "app/device/inprocess_transport.h"
#include "app/device/process_state.h"
#include "app/framework/framework.h"
#include "app/monitor/hardware_details_dlg.h"
#include "host/driver_entry.h"
#include "host/io_manager.h"
#include "protocol/frame.h"
#include "sim/machine.h"
#include "tests/host/kestatid_process.h"

namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "details_sample_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app;
    if (!app) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app = std::make_unique<QApplication>(argc, argv);
        AfxInitFramework(false);
    }
}

double Seconds(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void RunSamples(benchmark::State& state) {
    g_nAdapterId = QueryAdapterInfo(3);
    g_nSubsystemId = QueryAdapterInfo(7);
    CHardwareDetailsDlg dlg;
    if (!dlg.Create(CHardwareDetailsDlg::IDD)) {
        state.SkipWithError("the dialog did not open");
        return;
    }
    std::vector<double> cpu;
    std::vector<double> wall;
    for (auto _ : state) {
        const double cpu0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
        const double wall0 = Seconds(CLOCK_MONOTONIC);
        dlg.SendMessage(WM_TIMER, 1);
        cpu.push_back(Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu0);
        wall.push_back(Seconds(CLOCK_MONOTONIC) - wall0);
    }
    dlg.DestroyWindow();
    state.counters["median_cpu_us"] = Median(cpu) * 1e6;
    state.counters["median_wall_us"] = Median(wall) * 1e6;
}

void BM_DetailsSampleThroughKestatid(benchmark::State& state) {
    EnsureApplication();
    kesttest::TempDir dir;
    kesttest::Kestatid service(dir.Path());
    setenv(kDeviceSocketEnv, service.Socket().c_str(), 1);
    if (!service.StartAndWait()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    SetDeviceTransport(nullptr);
    RunSamples(state);
    service.StopWith(SIGTERM);
}
BENCHMARK(BM_DetailsSampleThroughKestatid)->Iterations(200)->UseRealTime();

void BM_DetailsSampleInProcess(benchmark::State& state) {
    EnsureApplication();
    sim::RealClock clock;
    std::unique_ptr<sim::Machine> machine = sim::Machine::Create("9800pro", clock);
    host::AttachPortBus(machine.get());
    host::LoadDriver(host::KestatiDriverEntry());
    InProcessTransport transport;
    SetDeviceTransport(&transport);
    RunSamples(state);
    SetDeviceTransport(nullptr);
    host::UnloadDriver();
}
BENCHMARK(BM_DetailsSampleInProcess)->Iterations(200)->UseRealTime();

}  // namespace
