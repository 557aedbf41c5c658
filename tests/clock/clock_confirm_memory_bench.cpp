// Resident memory of a process that shows the clock confirm dialog offscreen, reported as the
// counter VmRSS_kB (from /proc/self/status), plus the time to open and close the dialog.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/clock/clock_confirm_dlg.h"
#include "tests/support/bench_application.h"
#include "tests/support/screenshot.h"

namespace {

void BM_ConfirmDialogShown(benchmark::State& state) {
    WindowBenchmarkApplication();
    double rss = 0;
    for (auto _ : state) {
        CClockConfirmDlg dlg;
        dlg.m_strSummary = "VPU SPEED->400 MHz/MEMORY SPEED->600 MHz";
        SetModalDialogHook([&](CDialog& d) {
            QApplication::processEvents();
            rss = ResidentKiB();
            d.EndDialog(IDCANCEL);
        });
        benchmark::DoNotOptimize(dlg.DoModal());
    }
    SetModalDialogHook({});
    state.counters["VmRSS_kB"] = rss;
}
BENCHMARK(BM_ConfirmDialogShown)->Unit(benchmark::kMillisecond);

}  // namespace
