// Cost of one chart sample as the monitor panel makes it every second: two SetValue calls, one
// AddSegment and the paint that the invalidation brings.
#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "app/controls/history_chart.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "history_chart_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Never destroyed: torn down among the exit handlers it would outlive Qt's own globals.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Client size in pixels: 224 x 57 dialog units with 6 x 13 base units (8-point Tahoma metrics)
// or 7 x 13 (10-point, the main dialog's template font).
void BM_ChartSample(benchmark::State& state) {
    App();
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const bool bPaint = state.range(2) != 0;
    CWnd parent;
    parent.CreateEx(0, nullptr, "bench", WS_VISIBLE, RECT{0, 0, w + 40, h + 40}, nullptr, 0);
    CHistoryChart chart;
    chart.Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 10 + w + 6, 10 + h + 6}, &parent, 100);
    chart.Init();
    QWidget* widget = WidgetOf(chart.GetSafeHwnd());
    // Let the window be exposed first; an unexposed window ignores repaint().
    QApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        chart.SetValue(0, 100 - (3000 + (i * 37) % 4000 - 3000) / 40);
        chart.SetValue(1, 100 + 5 * (20 - (40 + i % 30)) / 3);
        chart.AddSegment(1);
        if (bPaint) {
            widget->repaint();
        }
        ++i;
    }
    state.SetLabel(std::to_string(w) + "x" + std::to_string(h) +
                   (bPaint ? " with paint" : " no paint"));
    chart.DestroyWindow();
    parent.DestroyWindow();
}
BENCHMARK(BM_ChartSample)->Args({336, 93, 1})->Args({392, 93, 1})->Args({336, 93, 0});

}  // namespace
