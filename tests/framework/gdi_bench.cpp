// Cost of one monitor chart frame drawn through CDC alone: the hatched grid background, grid
// lines, a 100-point trace in a wide pen, a caption, and the blit to the window. The same frame
// is timed in both trees, over Qt and over the system's GDI.
#include <benchmark/benchmark.h>

#include "app/framework/gdi.h"
#include "tests/support/bench_application.h"

namespace {

// The main dialog's chart: 224 x 57 dialog units at 10-point Tahoma base units (7 x 16).
constexpr int kWidth = 392;
constexpr int kHeight = 114;
constexpr int kPoints = 100;

// A chart's buffer and the window it is shown in, made once as the chart makes them.
struct Chart {
    Chart() {
        window.CreateCompatibleDC(nullptr);
        windowBitmap.CreateCompatibleBitmap(&window, kWidth, kHeight);
        window.SelectObject(&windowBitmap);
        buffer.CreateCompatibleDC(&window);
        bufferBitmap.CreateCompatibleBitmap(&window, kWidth, kHeight);
        buffer.SelectObject(&bufferBitmap);
        const LOGFONT lf = GetStockLogFont(DEFAULT_GUI_FONT);
        font.CreateFontIndirect(&lf);
    }
    ~Chart() {
        buffer.SelectObject(static_cast<CBitmap*>(nullptr));
        window.SelectObject(static_cast<CBitmap*>(nullptr));
    }

    void DrawFrame(int nFrame) {
        const RECT rc{0, 0, kWidth, kHeight};
        CBrush grid(HS_CROSS, RGB(0, 128, 0));
        buffer.SetBkMode(OPAQUE);
        buffer.SetBkColor(RGB(0, 0, 0));
        buffer.FillRect(&rc, &grid);

        CPen level(PS_SOLID, 1, RGB(0, 255, 0));
        CPen* pOldPen = buffer.SelectObject(&level);
        for (int y = kHeight / 4; y < kHeight; y += kHeight / 4) {
            buffer.MoveTo(0, y);
            buffer.LineTo(kWidth, y);
        }

        CPen trace(PS_SOLID, 2, RGB(255, 255, 0));
        buffer.SelectObject(&trace);
        for (int i = 0; i < kPoints; ++i) {
            const int x = i * (kWidth - 1) / (kPoints - 1);
            const int y = 10 + ((i + nFrame) * 37 % 71);
            if (i == 0) {
                buffer.MoveTo(x, y);
            } else {
                buffer.LineTo(x, y);
            }
        }
        buffer.SelectObject(pOldPen);

        CFont* pOldFont = buffer.SelectObject(&font);
        buffer.SetBkMode(TRANSPARENT);
        buffer.SetTextColor(RGB(255, 255, 255));
        buffer.TextOut(4, 2, "VPU 54 C");
        RECT rcScale{0, 0, kWidth - 4, kHeight};
        buffer.DrawText("100%", &rcScale, DT_RIGHT | DT_TOP | DT_SINGLELINE);
        buffer.SelectObject(pOldFont);

        window.BitBlt(0, 0, kWidth, kHeight, &buffer, 0, 0, SRCCOPY);
    }

    CDC window;
    CBitmap windowBitmap;
    CDC buffer;
    CBitmap bufferBitmap;
    CFont font;
};

}  // namespace

static void BM_ChartFrame(benchmark::State& state) {
    WindowBenchmarkApplication();
    Chart chart;
    int i = 0;
    for (auto _ : state) {
        chart.DrawFrame(i++);
    }
}
BENCHMARK(BM_ChartFrame);
