// One sample of the hardware details dialog (the fan item: a fan reading and the drive read-back,
// the status line, the alarm step, the text and the chart) and the readings and verdict of one
// main-panel sample (the main dialog's drawing is not part of it), through the kestatid socket
// and through the in-process transport. Reports the median of 200 samples' thread CPU time and wall
// time as counters (microseconds). The Windows tree builds it too, over the Win32 back end, with
// the in-process transport and the wall time only.
#include <benchmark/benchmark.h>

#ifndef _WIN32
#include <time.h>
#endif

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/framework/framework.h"
#include "app/monitor/hardware_details_dlg.h"
#include "app/monitor/panel_sample.h"
#include "tests/host/inprocess_device.h"
#include "tests/support/bench_application.h"
#ifndef _WIN32
#include "tests/host/bench_devices.h"
#endif

namespace {

#ifndef _WIN32
double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
#endif

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename Sample>
void Measure(benchmark::State& state, Sample sample) {
    std::vector<double> cpu;
    std::vector<double> wall;
    for (auto _ : state) {
#ifndef _WIN32
        const double cpu0 = ThreadCpuSeconds();
#endif
        const double wall0 = WallSeconds();
        sample();
        wall.push_back(WallSeconds() - wall0);
#ifndef _WIN32
        cpu.push_back(ThreadCpuSeconds() - cpu0);
#endif
    }
    // The system's thread times count in scheduler ticks, too coarse for one sample: the
    // Windows tree reports the wall time alone.
    if (!cpu.empty()) {
        state.counters["median_cpu_us"] = Median(cpu) * 1e6;
    }
    state.counters["median_wall_us"] = Median(wall) * 1e6;
}

enum class Which { Details, Panel };

void RunSamples(benchmark::State& state, Which which) {
    g_nAdapterId = QueryAdapterInfo(3);
    g_nSubsystemId = QueryAdapterInfo(7);
    if (which == Which::Panel) {
        int nLastRpm = 0;
        int nLastTemp = 0;
        Measure(state, [&] {
            const PanelSample s =
                SamplePanel(ClassifyBoard(), CurrentFanState(), nLastRpm, nLastTemp,
                            [](uint32_t code) { return QueryDriverReading(code); });
            nLastRpm = s.nLastFanRpm;
            nLastTemp = s.nLastVpuTemp;
            benchmark::DoNotOptimize(s);
        });
        return;
    }
    CHardwareDetailsDlg dlg;
    if (!dlg.Create(CHardwareDetailsDlg::IDD)) {
        state.SkipWithError("the dialog did not open");
        return;
    }
    Measure(state, [&] { dlg.SendMessage(WM_TIMER, 1); });
    dlg.DestroyWindow();
}

#ifndef _WIN32
void SampleThroughKestatid(benchmark::State& state, Which which) {
    WindowBenchmarkApplication();
    kesttest::ServiceDevice device;
    if (!device.Started()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    RunSamples(state, which);
}
#endif

void SampleInProcess(benchmark::State& state, Which which) {
    WindowBenchmarkApplication();
    kesttest::InProcessDevice device;
    RunSamples(state, which);
}

#ifndef _WIN32
BENCHMARK_CAPTURE(SampleThroughKestatid, details, Which::Details)->Iterations(200)->UseRealTime();
BENCHMARK_CAPTURE(SampleThroughKestatid, panel, Which::Panel)->Iterations(200)->UseRealTime();
#endif
BENCHMARK_CAPTURE(SampleInProcess, details, Which::Details)->Iterations(200)->UseRealTime();
BENCHMARK_CAPTURE(SampleInProcess, panel, Which::Panel)->Iterations(200)->UseRealTime();

}  // namespace
