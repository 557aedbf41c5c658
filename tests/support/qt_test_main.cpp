// main() of every Qt test binary: offscreen unless the caller chose a platform, one QApplication,
// Fusion style and the dialog font as the program sets them up, thread-safe death tests (the
// exit-with-code paths). Message boxes stay with the default service unless a test scripts them.
#include <QApplication>
#include <gtest/gtest.h>

#include "app/framework/app.h"

int main(int argc, char** argv) {
    // gtest_discover_tests runs the binary at build time without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QApplication app(argc, argv);
    AfxInitFramework(false);
    return RUN_ALL_TESTS();
}
