// The QApplication of a benchmark binary (whose main() belongs to Google Benchmark): made on
// first use, offscreen unless the caller chose a platform, and never destroyed. Destroying it
// at exit would run after Qt's own global objects are gone, which crashes.
#pragma once

#include <QApplication>

#include "app/framework/framework.h"

inline QApplication& BenchmarkApplication() {
    static int argc = 1;
    static char name[] = "kest_benchmark";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        return new QApplication(argc, argv);  // deliberately never deleted, see above
    }();
    return *app;
}

// The same with the window layer's style, palette and fonts set up, for benchmarks that open the
// program's windows.
inline QApplication& WindowBenchmarkApplication() {
    static QApplication& app = []() -> QApplication& {
        QApplication& a = BenchmarkApplication();
        AfxInitFramework(false);
        return a;
    }();
    return app;
}
