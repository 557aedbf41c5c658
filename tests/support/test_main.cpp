// main() of the window test binaries: the window layer started as the program starts it (look,
// dialog font, system colours), on the tests' display, thread-safe death tests for the
// exit-with-code paths.
#include <gtest/gtest.h>

#include "app/framework/app.h"
#include "tests/support/test_main.h"
#include "tests/support/window_system.h"

namespace {

MessageBoxService* g_systemBoxes = nullptr;

}  // namespace

namespace kesttest {

MessageBoxService& SystemMessageBoxes() {
    return *g_systemBoxes;
}

}  // namespace kesttest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    user::UseTestDisplay();
    if (!AfxWinInit(argc, argv)) {
        return 1;
    }
    // A box nobody scripted must not wait for a person who is not there.
    g_systemBoxes = &MessageBoxes();
    SetMessageBoxService(nullptr);
    const int result = RUN_ALL_TESTS();
    AfxWinTerm();
    return result;
}
