// The window layer of a benchmark binary (whose main() belongs to Google Benchmark), set up on
// first use. Over Qt that is a QApplication, offscreen unless the caller chose a platform, and
// never destroyed: destroying it at exit would run after Qt's own global objects are gone, which
// crashes. Over Win32 it is the framework's own start.
#pragma once

#include "app/framework/framework.h"

#ifdef _WIN32

inline void WindowBenchmarkApplication() {
    static const bool ready = (AfxInitFramework(false), true);
    static_cast<void>(ready);
}

#else

#include <QApplication>

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

#endif
