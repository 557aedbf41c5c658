// Every way a person operates a control reaches its parent as the control's notification, once:
// the pointer, the keyboard and an assistive tool's actions. Changes the program makes stay
// silent. Input goes in along the window system's own path (tests/support/user_input.h).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/framework/framework.h"
#include "tests/framework/test_dialogs.h"
#include "tests/support/user_input.h"

namespace {

// The notifications the program's handlers take, per control. Controls tell their parent more
// (focus, custom drawing, a tab about to change): those are not what a person's action reports.
struct WatchedNotification {
    UINT message;
    int nID;
    UINT code;
};
const WatchedNotification kWatched[] = {
    {WM_COMMAND, 10, BN_CLICKED},     {WM_COMMAND, 11, BN_CLICKED},
    {WM_COMMAND, 13, LBN_SELCHANGE},  {WM_COMMAND, 14, CBN_SELCHANGE},
    {WM_COMMAND, 14, CBN_EDITCHANGE}, {WM_COMMAND, 18, STN_CLICKED},
    {WM_NOTIFY, 16, TCN_SELCHANGE},
};

bool Watched(UINT message, WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    if (message == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        id = static_cast<int>(hdr->idFrom);
        code = hdr->code;
    }
    for (const WatchedNotification& w : kWatched) {
        if (w.message == message && w.nID == id && w.code == code) {
            return true;
        }
    }
    return false;
}

// Logs every notification a child sends that a handler would take, with the state the handler
// would read.
class CNotifyLogDlg : public CDialog {
public:
    CNotifyLogDlg() : CDialog(kTestTemplate) {}
    std::vector<std::string> m_log;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if ((message == WM_COMMAND || message == WM_NOTIFY) && !Watched(message, wParam, lParam)) {
            return CDialog::WindowProc(message, wParam, lParam);
        }
        if (message == WM_COMMAND) {
            const int id = LOWORD(wParam);
            std::string entry = "cmd " + std::to_string(id) + " " + std::to_string(HIWORD(wParam));
            if (id == 11) {
                entry +=
                    " check " + std::to_string(static_cast<CButton*>(GetDlgItem(11))->GetCheck());
            } else if (id == 13) {
                entry +=
                    " sel " + std::to_string(static_cast<CListBox*>(GetDlgItem(13))->GetCurSel());
            }
            m_log.push_back(entry);
        } else if (message == WM_NOTIFY) {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
            m_log.push_back("notify " + std::to_string(hdr->idFrom) + " " +
                            std::to_string(static_cast<int>(hdr->code)) + " tab " +
                            std::to_string(static_cast<CTabCtrl*>(GetDlgItem(16))->GetCurSel()));
        } else if (message == WM_HSCROLL) {
            m_log.push_back("scroll " + std::to_string(LOWORD(wParam)) + " " +
                            std::to_string(HIWORD(wParam)) + " at " +
                            std::to_string(static_cast<CSliderCtrl*>(GetDlgItem(15))->GetPos()));
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

class UserPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterDialogTemplate(&kTestDialog);
        m_dlg.m_log.clear();
        ASSERT_TRUE(m_dlg.Create(kTestTemplate));
        m_dlg.ShowWindow(SW_SHOW);
        auto* list = static_cast<CListBox*>(m_dlg.GetDlgItem(13));
        for (const char* s : {"alpha", "bravo", "charlie", "delta"}) {
            list->AddString(s);
        }
        list->SetCurSel(1);
        auto* combo = static_cast<CComboBox*>(m_dlg.GetDlgItem(14));
        combo->AddString("Default Settings");
        combo->AddString("Preferred Settings");
        combo->SetCurSel(0);
        auto* tab = static_cast<CTabCtrl*>(m_dlg.GetDlgItem(16));
        for (const char* s : {"Help", "Product Features", "Video Settings"}) {
            tab->InsertItem(0, s);
        }
        tab->SetCurSel(1);
        auto* slider = static_cast<CSliderCtrl*>(m_dlg.GetDlgItem(15));
        slider->SetRange(0, 100);
        slider->SetPageSize(10);
        slider->SetPos(50);
        static_cast<CButton*>(m_dlg.GetDlgItem(11))->SetCheck(BST_CHECKED);
        EXPECT_TRUE(m_dlg.m_log.empty()) << "the program's own changes are silent";
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        RegisterDialogTemplate(nullptr);
    }

public:
    HWND Item(int id) { return m_dlg.GetDlgItemHwnd(id); }
    CNotifyLogDlg m_dlg;
};

struct PathRow {
    const char* what;
    std::function<void(UserPathsTest&, HWND)> act;
    int nID;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(UserPathsTest, EachUserPathNotifiesOnce) {
    using namespace user;
    const std::string clicked = "cmd 11 0 check ";
    const std::string tab = "notify 16 -551 tab ";
    const std::vector<PathRow> rows = {
        {"push button, click", [](auto&, HWND w) { Click(w); }, 10, {"cmd 10 0"}},
        {"push button, Space", [](auto&, HWND w) { Key(w, kSpace); }, 10, {"cmd 10 0"}},
        {"push button, Enter", [](auto&, HWND w) { Key(w, kReturn); }, 10, {"cmd 10 0"}},
        {"push button, Press",
         [](auto&, HWND w) { EXPECT_TRUE(Act(w, "Press")); },
         10,
         {"cmd 10 0"}},
        {"check box, click", [](auto&, HWND w) { Click(w); }, 11, {clicked + "0"}},
        {"check box, Space", [](auto&, HWND w) { Key(w, kSpace); }, 11, {clicked + "0"}},
        {"check box, Toggle",
         [](auto&, HWND w) { EXPECT_TRUE(Act(w, "Toggle")); },
         11,
         {clicked + "0"}},
        {"list, click", [](auto&, HWND w) { ClickItem(w, 3); }, 13, {"cmd 13 1 sel 3"}},
        {"list, click on the selected line",
         [](auto&, HWND w) { ClickItem(w, 1); },
         13,
         {"cmd 13 1 sel 1"}},
        {"list, Down", [](auto&, HWND w) { Key(w, kDown); }, 13, {"cmd 13 1 sel 2"}},
        {"list, End", [](auto&, HWND w) { Key(w, kEnd); }, 13, {"cmd 13 1 sel 3"}},
        {"list, Home", [](auto&, HWND w) { Key(w, kHome); }, 13, {"cmd 13 1 sel 0"}},
        {"list, Page Down", [](auto&, HWND w) { Key(w, kPageDown); }, 13, {"cmd 13 1 sel 3"}},
        {"list, type-ahead", [](auto&, HWND w) { Key(w, 'C'); }, 13, {"cmd 13 1 sel 2"}},
        {"list, choose", [](auto&, HWND w) { EXPECT_TRUE(Choose(w, 0)); }, 13, {"cmd 13 1 sel 0"}},
        {"combo box, Down when closed", [](auto&, HWND w) { Key(w, kDown); }, 14, {"cmd 14 1"}},
        {"combo box, typing", [](auto&, HWND w) { Type(w, "x"); }, 14, {"cmd 14 5"}},
        {"tab, click", [](auto&, HWND w) { ClickItem(w, 0); }, 16, {tab + "0"}},
        {"tab, Right on the row", [](auto&, HWND w) { Key(w, kRight); }, 16, {tab + "2"}},
        {"tab, Ctrl+Tab", [](auto& t, HWND) { Key(t.Item(11), kTab, true); }, 16, {tab + "2"}},
        {"tab, Ctrl+Shift+Tab",
         [](auto& t, HWND) { Key(t.Item(10), kTab, true, true); },
         16,
         {tab + "0"}},
        {"tab, choose", [](auto&, HWND w) { EXPECT_TRUE(Choose(w, 2)); }, 16, {tab + "2"}},
        {"trackbar, Left",
         [](auto&, HWND w) { Key(w, kLeft); },
         15,
         {"scroll 0 0 at 49", "scroll 8 0 at 49"}},
        {"trackbar, Up",
         [](auto&, HWND w) { Key(w, kUp); },
         15,
         {"scroll 0 0 at 49", "scroll 8 0 at 49"}},
        {"trackbar, Down",
         [](auto&, HWND w) { Key(w, kDown); },
         15,
         {"scroll 1 0 at 51", "scroll 8 0 at 51"}},
        {"trackbar, Page Up",
         [](auto&, HWND w) { Key(w, kPageUp); },
         15,
         {"scroll 2 0 at 40", "scroll 8 0 at 40"}},
        {"trackbar, Page Down",
         [](auto&, HWND w) { Key(w, kPageDown); },
         15,
         {"scroll 3 0 at 60", "scroll 8 0 at 60"}},
        {"trackbar, Home",
         [](auto&, HWND w) { Key(w, kHome); },
         15,
         {"scroll 6 0 at 0", "scroll 8 0 at 0"}},
        {"trackbar, End",
         [](auto&, HWND w) { Key(w, kEnd); },
         15,
         {"scroll 7 0 at 100", "scroll 8 0 at 100"}},
        {"trackbar, new value",
         [](auto&, HWND w) { EXPECT_TRUE(SetValue(w, 70)); },
         15,
         {"scroll 4 70 at 70", "scroll 8 0 at 70"}},
        {"notifying static, click", [](auto&, HWND w) { Click(w); }, 18, {"cmd 18 0"}},
        {"notifying static, Press",
         [](auto&, HWND w) { EXPECT_TRUE(Act(w, "Press")); },
         18,
         {"cmd 18 0"}},
    };
    for (const PathRow& row : rows) {
        SCOPED_TRACE(row.what);
        TearDown();
        SetUp();
        row.act(*this, Item(row.nID));
        EXPECT_EQ(m_dlg.m_log, row.log);
    }
}

TEST_F(UserPathsTest, ControlsWithoutTextAreNamedByTheLabelBeforeThem) {
    // Label (12) comes before the list, the trackbar and the edit in the template. (Qt names a
    // combo box by its text on Linux and points to the label through a relation instead.)
    const int kWithoutText[] = {13, 15, 17};
    for (int id : kWithoutText) {
        EXPECT_EQ(user::AccessibleName(Item(id)), CString("Label")) << id;
    }
    EXPECT_EQ(user::AccessibleName(Item(11)), CString("Check"));
    EXPECT_FALSE(user::Act(Item(12), "Press")) << "a label that does not notify has no Press";
}
