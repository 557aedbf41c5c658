// Message maps: which handler a message reaches, what controls report to their parent, and the
// text messages going through a subclassed control.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/framework/framework.h"
#include "tests/framework/test_dialogs.h"
#include "tests/support/user_input.h"

namespace {

class CBaseTestDlg : public CDialog {
public:
    CBaseTestDlg() : CDialog(kTestTemplate) {}
    std::vector<std::string> m_log;

    void OnGo() { m_log.push_back("base go"); }
    void OnCheck() { m_log.push_back("base check"); }
    void OnTimer(UINT_PTR nIDEvent) { m_log.push_back("timer " + std::to_string(nIDEvent)); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTestDlg, CDialog)
ON_BN_CLICKED(10, OnGo)
ON_BN_CLICKED(11, OnCheck)
ON_WM_TIMER()
END_MESSAGE_MAP()

class CTestDlg : public CBaseTestDlg {
public:
    CListBox m_list;
    CComboBox m_combo;
    CSliderCtrl m_slider;
    CTabCtrl m_tab;

    void OnGo() { m_log.push_back("derived go"); }
    void OnListSel() { m_log.push_back("list " + std::to_string(m_list.GetCurSel())); }
    void OnComboSel() { m_log.push_back("combo sel"); }
    void OnComboEdit() { m_log.push_back("combo edit"); }
    void OnPicture() { m_log.push_back("picture"); }
    void OnEditChange() { m_log.push_back("edit change"); }
    void OnTabChange(NMHDR* pNMHDR, LRESULT* pResult) {
        m_log.push_back("tab " + std::to_string(m_tab.GetCurSel()) + " from " +
                        std::to_string(pNMHDR->idFrom));
        *pResult = 0;
    }
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) {
        m_log.push_back("hscroll " + std::to_string(nSBCode) + " " + std::to_string(nPos) + " " +
                        std::to_string(pScrollBar != nullptr ? pScrollBar->GetDlgCtrlID() : 0) +
                        " at " + std::to_string(m_slider.GetPos()));
    }
    LRESULT OnUserMessage(WPARAM wParam, LPARAM lParam) {
        m_log.push_back("user " + std::to_string(wParam) + " " + std::to_string(lParam));
        return 77;
    }
    int m_nLastRangeId = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, 13, m_list);
        DDX_Control(pDX, 14, m_combo);
        DDX_Control(pDX, 15, m_slider);
        DDX_Control(pDX, 16, m_tab);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        m_nLastRangeId = LOWORD(wParam);
        return CBaseTestDlg::OnCommand(wParam, lParam);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CBaseTestDlg)
ON_BN_CLICKED(10, OnGo)
ON_LBN_SELCHANGE(13, OnListSel)
ON_CBN_SELCHANGE(14, OnComboSel)
ON_CBN_EDITCHANGE(14, OnComboEdit)
ON_STN_CLICKED(18, OnPicture)
ON_EN_CHANGE(17, OnEditChange)
ON_NOTIFY(TCN_SELCHANGE, 16, OnTabChange)
ON_WM_HSCROLL()
ON_MESSAGE(WM_USER + 5, OnUserMessage)
END_MESSAGE_MAP()

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterDialogTemplate(&kTestDialog);
        ASSERT_TRUE(m_dlg.Create(kTestTemplate));
        m_dlg.ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        RegisterDialogTemplate(nullptr);
    }
    HWND Item(int id) { return m_dlg.GetDlgItemHwnd(id); }
    CTestDlg m_dlg;
};

TEST_F(MessageMapTest, CommandsReachTheMostDerivedHandlerThenTheBase) {
    user::Click(Item(10));
    user::Click(Item(11));
    m_dlg.SendMessage(WM_TIMER, 3);
    EXPECT_EQ(m_dlg.m_log, (std::vector<std::string>{"derived go", "base check", "timer 3"}));
    // The auto check box had already toggled when its handler ran.
    EXPECT_EQ(static_cast<CButton*>(m_dlg.GetDlgItem(11))->GetCheck(), BST_CHECKED);
}

TEST_F(MessageMapTest, UnmappedCommandsAndMessagesFallThrough) {
    EXPECT_EQ(m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(4000, BN_CLICKED), 0), 0);
    // A notification code other than the mapped one does not reach the click handler.
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(10, EN_CHANGE), 0);
    EXPECT_TRUE(m_dlg.m_log.empty());
    EXPECT_EQ(m_dlg.SendMessage(WM_USER + 5, 4, -9), 77);
    EXPECT_EQ(m_dlg.m_log, (std::vector<std::string>{"user 4 -9"}));
}

TEST_F(MessageMapTest, UserSelectionNotifiesButProgramChangesDoNot) {
    EXPECT_EQ(m_dlg.m_list.AddString("pear"), 0);
    EXPECT_EQ(m_dlg.m_list.AddString("Apple"), 0);
    EXPECT_EQ(m_dlg.m_list.AddString("banana"), 1);
    // Equal ignoring case: Windows' own list puts it before its equal, the Qt back end after.
#ifdef _WIN32
    EXPECT_EQ(m_dlg.m_list.AddString("apple"), 0);
#else
    EXPECT_EQ(m_dlg.m_list.AddString("apple"), 1);
#endif
    CString text;
    m_dlg.m_list.GetText(3, text);
    EXPECT_EQ(text, CString("pear"));
    EXPECT_EQ(m_dlg.m_list.FindStringExact(-1, "BANANA"), 2);
    m_dlg.m_list.SetCurSel(2);
    EXPECT_EQ(m_dlg.m_list.GetCurSel(), 2);
    m_dlg.SetDlgItemText(17, "325MHz");  // an edit's text set by the program
    EXPECT_TRUE(m_dlg.m_log.empty());

    user::ClickItem(Item(13), 0);
    EXPECT_EQ(m_dlg.m_log, (std::vector<std::string>{"list 0"}));
}

TEST_F(MessageMapTest, ComboBoxSortsAndReportsSelectionAndTyping) {
    m_dlg.m_combo.AddString("Preferred Settings");
    m_dlg.m_combo.SetWindowText("Preferred Settings");
    m_dlg.m_combo.AddString("Default Settings");
    CString text;
    m_dlg.m_combo.GetLBText(0, text);
    EXPECT_EQ(text, CString("Default Settings"));
    m_dlg.m_combo.GetWindowText(text);
    EXPECT_EQ(text, CString("Preferred Settings"));
    EXPECT_EQ(m_dlg.m_combo.GetCurSel(), CB_ERR);
    EXPECT_TRUE(m_dlg.m_log.empty());

    user::Type(Item(14), "x");
    user::Key(Item(14), user::kDown);
    EXPECT_EQ(m_dlg.m_log, (std::vector<std::string>{"combo edit", "combo sel"}));
}

TEST_F(MessageMapTest, TrackbarReportsScrollCodesWithItsNewPosition) {
    m_dlg.m_slider.SetRange(250, 400);
    m_dlg.m_slider.SetLineSize(1);
    m_dlg.m_slider.SetPos(300);
    EXPECT_TRUE(m_dlg.m_log.empty());
    user::Key(Item(15), user::kRight);
    EXPECT_TRUE(user::SetValue(Item(15), 350));
    EXPECT_EQ(m_dlg.m_log,
              (std::vector<std::string>{"hscroll 1 0 15 at 301", "hscroll 8 0 15 at 301",
                                        "hscroll 4 350 15 at 350", "hscroll 8 0 15 at 350"}));
    EXPECT_EQ(m_dlg.m_slider.GetPos(), 350);
}

TEST_F(MessageMapTest, TabSelectionArrivesAsNotification) {
    m_dlg.m_tab.InsertItem(0, "Help");
    m_dlg.m_tab.InsertItem(0, "Product Features");
    m_dlg.m_tab.InsertItem(0, "Video Settings");
    m_dlg.m_tab.SetCurSel(0);
    EXPECT_EQ(m_dlg.m_tab.GetItemText(1), CString("Product Features"));
    EXPECT_TRUE(m_dlg.m_log.empty());
    EXPECT_TRUE(user::Choose(Item(16), 2));
    EXPECT_EQ(m_dlg.m_log, (std::vector<std::string>{"tab 2 from 16"}));
}

TEST_F(MessageMapTest, NotifyingStaticReportsClicks) {
    user::Click(Item(18));
    user::Click(Item(12));  // no SS_NOTIFY: silent
    EXPECT_EQ(m_dlg.m_log, (std::vector<std::string>{"picture"}));
}

// A control that keeps its own copy of its text, the way a self-painting static does.
class CTextKeepingStatic : public CStatic {
public:
    CString m_strText;
    int m_nSubclassed = 0;

protected:
    void PreSubclassWindow() override {
        ++m_nSubclassed;
        CString t;
        GetWindowText(t);
        m_strText = t;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETTEXT) {
            m_strText = CString(reinterpret_cast<const char*>(lParam));
        }
        return CStatic::WindowProc(message, wParam, lParam);
    }
};

TEST_F(MessageMapTest, TextFromAnyWrapperGoesThroughTheSubclassingObject) {
    CTextKeepingStatic keeper;
    CWnd* before = m_dlg.GetDlgItem(12);
    ASSERT_TRUE(keeper.SubclassDlgItem(12, &m_dlg));
    EXPECT_EQ(keeper.m_nSubclassed, 1);
    EXPECT_EQ(keeper.m_strText, CString("Label"));
    EXPECT_EQ(m_dlg.GetDlgItem(12), &keeper);

    // Through the dialog and through the old wrapper: both reach the keeper.
    m_dlg.SetDlgItemText(12, "HARDWARE DETAILS");
    EXPECT_EQ(keeper.m_strText, CString("HARDWARE DETAILS"));
    before->SetWindowText("Other");
    EXPECT_EQ(keeper.m_strText, CString("Other"));

    // A short buffer gets what fits and always its terminating zero.
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(keeper.GetWindowText(buffer, 5), 4);
    EXPECT_STREQ(buffer, "Othe");
    EXPECT_EQ(keeper.GetWindowTextLength(), 5);
    keeper.Detach();
}

// A modeless window that goes with its window, as the program's main dialog does: its close
// handler destroys it, and PostNcDestroy deletes the object inside that message.
class CSelfDeletingDlg : public CDialog {
public:
    explicit CSelfDeletingDlg(int* pDeleted) : CDialog(kTestTemplate), m_pDeleted(pDeleted) {}
    ~CSelfDeletingDlg() override { ++*m_pDeleted; }
    void OnClose() { DestroyWindow(); }

protected:
    void PostNcDestroy() override { delete this; }

private:
    int* m_pDeleted;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfDeletingDlg, CDialog)
ON_WM_CLOSE()
END_MESSAGE_MAP()

// Gone when the message returns, with nothing written into it afterwards (the sanitizer tree
// runs this too); a message being handled by its parent meanwhile still reaches its defaults.
TEST_F(MessageMapTest, AWindowMayDeleteItselfInItsOwnMessage) {
    int deleted = 0;
    auto* dlg = new CSelfDeletingDlg(&deleted);
    ASSERT_TRUE(dlg->Create(kTestTemplate, &m_dlg));
    dlg->SendMessage(WM_CLOSE);
    EXPECT_EQ(deleted, 1);

    dlg = new CSelfDeletingDlg(&deleted);
    ASSERT_TRUE(dlg->Create(kTestTemplate, &m_dlg));
    // The owner's destruction takes the owned window, and its object, first.
    m_dlg.DestroyWindow();
    EXPECT_EQ(deleted, 2);
    ASSERT_TRUE(m_dlg.Create(kTestTemplate));
}

}  // namespace
