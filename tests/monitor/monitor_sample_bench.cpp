// One sample of the hardware details dialog (the fan item: a fan reading and the drive read-back,
// the status line, the alarm step, the text and the chart) and the readings and verdict of one
// main-panel sample (the main dialog's drawing is not part of it), through the kestatid socket
// and through the in-process transport. Reports the median of 200 samples' thread CPU time and wall
// time as counters (microseconds).
#include <benchmark/benchmark.h>

#include <QApplication>

#include <time.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/framework/framework.h"
#include "app/monitor/hardware_details_dlg.h"
#include "app/monitor/panel_sample.h"
#include "protocol/frame.h"
#include "tests/host/bench_devices.h"
#include "tests/support/bench_application.h"

namespace {

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

template <typename Sample>
void Measure(benchmark::State& state, Sample sample) {
    std::vector<double> cpu;
    std::vector<double> wall;
    for (auto _ : state) {
        const double cpu0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
        const double wall0 = Seconds(CLOCK_MONOTONIC);
        sample();
        cpu.push_back(Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu0);
        wall.push_back(Seconds(CLOCK_MONOTONIC) - wall0);
    }
    state.counters["median_cpu_us"] = Median(cpu) * 1e6;
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

void SampleThroughKestatid(benchmark::State& state, Which which) {
    WindowBenchmarkApplication();
    kesttest::ServiceDevice device;
    if (!device.Started()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    RunSamples(state, which);
}

void SampleInProcess(benchmark::State& state, Which which) {
    WindowBenchmarkApplication();
    kesttest::InProcessDevice device;
    RunSamples(state, which);
}

BENCHMARK_CAPTURE(SampleThroughKestatid, details, Which::Details)->Iterations(200)->UseRealTime();
BENCHMARK_CAPTURE(SampleInProcess, details, Which::Details)->Iterations(200)->UseRealTime();
BENCHMARK_CAPTURE(SampleThroughKestatid, panel, Which::Panel)->Iterations(200)->UseRealTime();
BENCHMARK_CAPTURE(SampleInProcess, panel, Which::Panel)->Iterations(200)->UseRealTime();

}  // namespace
