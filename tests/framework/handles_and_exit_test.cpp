// A window's handle outliving the window, and the exit-with-code path.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/framework/framework.h"
#include "tests/framework/test_dialogs.h"

namespace {

// A handle saved before the window goes tells afterwards that it names no window.
TEST(Windows, ASavedHandleOutlivesItsWindow) {
    RegisterDialogTemplate(&kTestDialog);
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    const HWND hDlg = dlg.GetSafeHwnd();
    const HWND hItem = dlg.GetDlgItemHwnd(12);
    EXPECT_TRUE(IsWindow(hDlg));
    EXPECT_TRUE(IsWindow(hItem));
    dlg.DestroyWindow();
    EXPECT_FALSE(IsWindow(hDlg));
    EXPECT_FALSE(IsWindow(hItem));
    EXPECT_FALSE(IsWindow(nullptr));
    RegisterDialogTemplate(nullptr);
}

TEST(ExitProgramDeathTest, EndsTheProcessWithTheCodeGiven) {
    EXPECT_EXIT(ExitProgram(0), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(ExitProgram(3), ::testing::ExitedWithCode(3), "");
    // Nothing after the call runs: the message below is never printed.
    EXPECT_EXIT(
        {
            ExitProgram(0);
            std::fprintf(stderr, "still running\n");  // NOLINT
            std::exit(1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
