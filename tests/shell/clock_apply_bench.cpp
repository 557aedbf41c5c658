// The time from "&Apply" to the confirm dialog on screen: the divider word read, the new word
// composed and written, read back and decoded, the dialog built and its modal loop running.
// Through the socket to a running kestatid, and through the in-process transport on the same
// simulated board. Each run reports the median of 20 applies (counter median_ms); the dialog is
// then cancelled, which writes the old word back outside the measured time.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/clock/clock_confirm_dlg.h"
#include "app/device/device_client.h"
#include "common/service_key_file.h"
#include "app/shell/main_frame.h"
#include "app/shell/monitor_dlg.h"
#include "protocol/frame.h"
#include "tests/host/bench_devices.h"
#include "tests/shell/scratch_dir.h"
#include "tests/support/bench_application.h"
#include "tests/support/message_box_double.h"

namespace {

constexpr int kApplies = 20;

// Opens the main dialog on whatever device is set up and times kApplies applies.
void TimeApplies(benchmark::State& state) {
    kesttest::ScratchDir dir;  // kest.txt is written here
    ScriptedMessageBoxes boxes;
    CMainFrame frame(true);
    frame.StartSession();
    frame.LoadFrame();
    AfxSetMainWnd(&frame);
    frame.ShowConfigDialog();
    CMonitorDlg* dlg = frame.m_pConfigDlg;
    if (dlg == nullptr) {
        state.SkipWithError("the main dialog did not open");
        return;
    }
    using Clock = std::chrono::steady_clock;
    std::vector<double> samples;
    for (auto _ : state) {
        samples.clear();
        for (int i = 0; i < kApplies; ++i) {
            dlg->m_nEngineClock = 390 + i % 2 * 10;
            Clock::time_point start = Clock::now();
            double seconds = 0;
            SetModalDialogHook([&](CDialog& confirm) {
                seconds = std::chrono::duration<double>(Clock::now() - start).count();
                confirm.EndDialog(IDCANCEL);
            });
            dlg->SendMessage(WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED),
                             reinterpret_cast<LPARAM>(dlg->GetDlgItemHwnd(1006)));
            samples.push_back(seconds);
        }
        std::sort(samples.begin(), samples.end());
        const double median = (samples[kApplies / 2 - 1] + samples[kApplies / 2]) / 2;
        state.SetIterationTime(median);
        state.counters["median_ms"] = median * 1000;
        state.counters["min_ms"] = samples.front() * 1000;
        state.counters["max_ms"] = samples.back() * 1000;
    }
    SetModalDialogHook({});
    frame.DestroyWindow();
    AfxSetMainWnd(nullptr);
    QApplication::processEvents();
}

void BM_ApplyToConfirmThroughKestatid(benchmark::State& state) {
    WindowBenchmarkApplication();
    kesttest::ServiceDevice device;
    if (!device.Started()) {
        state.SkipWithError("kestatid did not start");
        return;
    }
    TimeApplies(state);
}
BENCHMARK(BM_ApplyToConfirmThroughKestatid)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_ApplyToConfirmInProcess(benchmark::State& state) {
    WindowBenchmarkApplication();
    kesttest::TempDir key_dir;
    const std::string key = key_dir.Path() + "/KestATI.reg";
    setenv(kServiceKeyEnv, key.c_str(), 1);
    {
        kesttest::InProcessDevice device;
        TimeApplies(state);
    }
    unsetenv(kServiceKeyEnv);
}
BENCHMARK(BM_ApplyToConfirmInProcess)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
