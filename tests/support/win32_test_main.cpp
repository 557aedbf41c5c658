// main() of the Windows test binaries that make windows: the common controls and the window
// layer as the program sets them up, thread-safe death tests. Message boxes stay with the default
// service unless a test scripts them.
#include <gtest/gtest.h>

#include "app/framework/app.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    AfxInitFramework(false);
    return RUN_ALL_TESTS();
}
