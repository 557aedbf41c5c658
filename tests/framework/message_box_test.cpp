// The message-box service as windows use it, and the scripted double tests rely on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/framework/framework.h"
#include "tests/framework/test_dialogs.h"
#include "tests/support/message_box_double.h"

namespace {

// A sampling window whose timer handler warns with a box, like the monitor's alarm.
class CSamplingDlg : public CDialog {
public:
    CSamplingDlg() : CDialog(kTestTemplate) {}
    int m_nSamples = 0;
    int m_nInside = 0;
    int m_nDeepest = 0;

    void OnTimer(UINT_PTR) {
        ++m_nSamples;
        ++m_nInside;
        m_nDeepest = std::max(m_nDeepest, m_nInside);
        const std::string text = "sample " + std::to_string(m_nSamples);
        MessageBox(text.c_str(), "ZEL WARNING", MB_ICONWARNING);
        --m_nInside;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSamplingDlg, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterDialogTemplate(&kTestDialog); }
    void TearDown() override { RegisterDialogTemplate(nullptr); }
    ScriptedMessageBoxes m_boxes;
};

TEST_F(MessageBoxTest, AnswersComeFromTheScriptInOrderThenOk) {
    m_boxes.Answer(IDCANCEL);
    m_boxes.Answer(IDNO);
    EXPECT_EQ(MessageBox(nullptr, "one", "ZEL", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(ShowMessageBox("two", "ZEL WARNING", MB_YESNO | MB_ICONWARNING), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "three", "ZEL ERROR", MB_ICONHAND), IDOK);
    ASSERT_EQ(m_boxes.Boxes().size(), 3u);
    EXPECT_EQ(m_boxes.Boxes()[1].caption, "ZEL WARNING");
    EXPECT_EQ(m_boxes.Boxes()[1].flags, MB_YESNO | MB_ICONWARNING);
    EXPECT_EQ(m_boxes.Boxes()[2].caption, "ZEL ERROR");
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{"one", "two", "three"}));
}

TEST_F(MessageBoxTest, BoxesWithoutOwnerBelongToTheForegroundWindow) {
    CSamplingDlg dlg;
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    dlg.ShowWindow(SW_SHOW);
    dlg.SetForegroundWindow();
    EXPECT_EQ(CWnd::GetForegroundWindow(), &dlg);

    MessageBox(nullptr, "owned by the front window", "ZEL", MB_OK);
    dlg.MessageBox("owned by the dialog", "ZEL", MB_OK);
    // Boxes of the Qt-free layers (the divider composition's post-code errors) as well.
    ShowMessageBox("Not correct MCLK_POST!", "ZEL", MB_SETFOREGROUND | MB_ICONERROR);
    ASSERT_EQ(m_boxes.Boxes().size(), 3u);
    EXPECT_EQ(m_boxes.Boxes()[0].owner, dlg.GetSafeHwnd());
    EXPECT_EQ(m_boxes.Boxes()[1].owner, dlg.GetSafeHwnd());
    EXPECT_EQ(m_boxes.Boxes()[2].owner, dlg.GetSafeHwnd());
    dlg.DestroyWindow();
}

TEST_F(MessageBoxTest, TimerFiringWhileABoxIsOpenReentersTheHandler) {
    CSamplingDlg dlg;
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    ASSERT_EQ(dlg.SetTimer(1, 1000), 1u);
    EXPECT_EQ(dlg.GetTimerPeriod(1), 1000u);

    // While the first warning is up, the timer ticks twice more; the second of those boxes is
    // answered at once.
    m_boxes.Answer(IDOK, [&dlg]() {
        dlg.FireTimer(1);
        dlg.FireTimer(1);
    });
    dlg.FireTimer(1);

    EXPECT_EQ(dlg.m_nSamples, 3);
    EXPECT_EQ(dlg.m_nDeepest, 2);
    ASSERT_EQ(m_boxes.Boxes().size(), 3u);
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{"sample 1", "sample 2", "sample 3"}));
    EXPECT_EQ(m_boxes.Boxes()[0].depth, 1);
    EXPECT_EQ(m_boxes.Boxes()[1].depth, 2);
    EXPECT_EQ(m_boxes.Boxes()[2].depth, 2);
    EXPECT_EQ(dlg.m_nInside, 0);
    dlg.DestroyWindow();
}

TEST_F(MessageBoxTest, TimersStopWithTheWindow) {
    CSamplingDlg dlg;
    EXPECT_EQ(dlg.SetTimer(1, 1000), 0u);  // no window yet
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    dlg.SetTimer(1, 1000);
    dlg.SetTimer(1, 250);  // same id again: new period
    EXPECT_EQ(dlg.GetTimerPeriod(1), 250u);
    EXPECT_TRUE(dlg.KillTimer(1));
    EXPECT_FALSE(dlg.KillTimer(1));
    EXPECT_EQ(dlg.GetTimerPeriod(1), 0u);
    dlg.SetTimer(2, 1000);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.GetTimerPeriod(2), 0u);
    EXPECT_FALSE(dlg.KillTimer(2));
}

}  // namespace
