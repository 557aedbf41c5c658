// The one way out: "&Exit", a signal or a closed dialog without a tray end every modal loop
// first, then destroy the main dialog (storing the clocks in force) and the frame (alarms off,
// icon removed). Nothing is used after it is deleted (the sanitizer tree runs these too).
#include "app/clock/clock_confirm_dlg.h"
#include "tests/shell/exit_fixture.h"
#include "tests/support/test_main.h"
#include "tests/support/window_system.h"

namespace kesttest {
namespace {

TEST_F(ExitTest, ExitWithTheDialogHiddenDestroysItFirst) {
    const COLORREF before = GetSysColor(COLOR_BTNFACE);
    m_frame->ShowConfigDialog();
    m_frame->HideConfigDialog();
    m_machine->SetChipRegister(0, 0x57, 0x80);  // beeps enabled, as an alarm leaves them
    ClearRequests();
    m_frame->SendMessage(WM_COMMAND, ID_APP_EXIT_TRAY, 0);
    RunPostedEvents();
    EXPECT_EQ(m_frame->GetSafeHwnd(), nullptr);
    const std::vector<uint32_t> codes = Codes();
    ASSERT_GE(codes.size(), 4u);
    // Destroy of the dialog: the word and its two post selectors; then the frame's alarms off.
    EXPECT_EQ(codes.front(), IOCTL_GET_CLOCK_DIVIDERS);
    EXPECT_EQ(codes.back(), IOCTL_ALARMS_OFF);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), IOCTL_ALARMS_OFF), 1);
    EXPECT_EQ(m_machine->ChipRegister(0, 0x57) & 0x80, 0);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), before);
    EXPECT_EQ(KestTxt().size(), 8u);
    EXPECT_NEAR(static_cast<double>(static_cast<uint8_t>(KestTxt()[0]) |
                                    (static_cast<uint8_t>(KestTxt()[1]) << 8)),
                390.0, 3.0);
}

TEST_F(ExitTest, ExitWhileAMessageBoxIsOpenClosesItFirst) {
    SetMessageBoxService(&SystemMessageBoxes());
    m_frame->ShowConfigDialog();
    user::Later([this]() { m_frame->RequestExit(); });
    const int okCancel = ShowMessageBox("question", "ZEL", MB_OKCANCEL);
    const int ok = ShowMessageBox("closed too: the exit is on its way", "ZEL", MB_OK);
    EXPECT_EQ(okCancel, IDCANCEL);  // as if closed
    EXPECT_EQ(ok, IDOK);
    // The frame is still there: the exit waits for the code that opened the box.
    ASSERT_NE(m_frame->GetSafeHwnd(), nullptr);
    ASSERT_NE(m_frame->m_pConfigDlg, nullptr);
    RunPostedEvents();
    EXPECT_EQ(m_frame->GetSafeHwnd(), nullptr);
    SetMessageBoxService(&m_boxes);
}

TEST_F(ExitTest, ExitWhileADialogRunsModallyCancelsItFirst) {
    m_frame->ShowConfigDialog();
    CMonitorDlg* dlg = m_frame->m_pConfigDlg;
    CClockConfirmDlg confirm(dlg);
    confirm.m_strSummary = "VPU SPEED->400 MHz/MEMORY SPEED->700 MHz";
    user::Later([this]() { m_frame->RequestExit(); });
    EXPECT_EQ(confirm.DoModal(), IDCANCEL);
    // Back in the caller with everything alive; the exit comes after.
    EXPECT_EQ(m_frame->m_pConfigDlg, dlg);
    EXPECT_NE(dlg->GetSafeHwnd(), nullptr);
    RunPostedEvents();
    EXPECT_EQ(m_frame->GetSafeHwnd(), nullptr);
}

TEST_F(ExitTest, ExitWhileTheTrayMenuIsOpenClosesIt) {
    std::vector<CString> whileOpen;
    user::Later([&]() {
        whileOpen = user::PopupMenuItems();
        m_frame->RequestExit();
    });
    m_frame->SendMessage(kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN);
    RunPostedEvents();
    EXPECT_FALSE(whileOpen.empty());
    EXPECT_TRUE(user::PopupMenuItems().empty());
    EXPECT_EQ(m_frame->GetSafeHwnd(), nullptr);
}

TEST_F(ExitTest, ExitRunsOnce) {
    m_frame->RequestExit();
    m_frame->RequestExit();
    m_frame->SendMessage(WM_COMMAND, ID_APP_EXIT_TRAY, 0);
    ClearRequests();
    RunPostedEvents();
    EXPECT_EQ(Codes(), std::vector<uint32_t>{IOCTL_ALARMS_OFF});
}

TEST_F(ExitTest, AboutBoxIsTemplateOneHundred) {
    const DialogTemplate* about = FindDialogTemplate(100);
    ASSERT_NE(about, nullptr);
    EXPECT_STREQ(about->lpszCaption, "ZEL");
    bool ok = false;
    int pictures = 0;
    int texts = 0;
    for (std::size_t i = 0; i < about->nItems; ++i) {
        const DialogItemTemplate& item = about->pItems[i];
        ok = ok || (item.nID == IDOK && std::string(item.lpszText) == "OK");
        pictures += item.nImageID == 128 ? 1 : 0;
        texts += item.nImageID == 0 && item.nID == IDC_STATIC ? 1 : 0;
    }
    EXPECT_TRUE(ok);
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(texts, 2);
    // Only the frame's own command opens it; it closes with OK.
    SetModalDialogHook([](CDialog& dlg) {
        EXPECT_EQ(dlg.GetTemplateID(), 100u);
        dlg.SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_frame->SendMessage(WM_COMMAND, ID_APP_ABOUT, 0);
    SetModalDialogHook({});
}

}  // namespace
}  // namespace kesttest
