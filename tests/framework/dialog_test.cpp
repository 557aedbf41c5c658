// Dialog life: modal results for each way out, modeless hiding, destruction order, data
// exchange, and the geometry of the dialog and its children.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/framework/framework.h"
#include "tests/framework/test_dialogs.h"
#include "tests/support/user_input.h"

namespace {

std::vector<std::string> g_log;

class CLifeDlg : public CDialog {
public:
    explicit CLifeDlg(CWnd* pParent = nullptr, const char* name = "dlg")
        : CDialog(kTestTemplate, pParent), m_name(name) {}
    std::string m_name;
    int m_nEndInInit = 0;
    int m_nCheck = BST_CHECKED;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        g_log.push_back(m_name + " init");
        if (m_nEndInInit != 0) {
            EndDialog(m_nEndInInit);
        }
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Check(pDX, 11, m_nCheck);
        g_log.push_back(m_name + (pDX->m_bSaveAndValidate ? " save" : " load"));
    }
    void OnOK() override {
        g_log.push_back(m_name + " ok");
        CDialog::OnOK();
    }
    void OnCancel() override {
        g_log.push_back(m_name + " cancel");
        CDialog::OnCancel();
    }

public:
    void OnDestroy() {
        g_log.push_back(m_name + " destroy");
        CDialog::OnDestroy();
    }
    void OnClose() {
        g_log.push_back(m_name + " close");
        CDialog::OnClose();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLifeDlg, CDialog)
ON_WM_DESTROY()
ON_WM_CLOSE()
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        RegisterDialogTemplate(&kTestDialog);
    }
    void TearDown() override {
        SetModalDialogHook({});
        RegisterDialogTemplate(nullptr);
    }
};

TEST_F(DialogTest, EachWayOutOfAModalDialog) {
    struct Row {
        const char* way;
        std::function<void(CDialog&)> act;
        int result;
        std::vector<std::string> log;
    };
    const std::vector<Row> rows = {
        {"Enter on the first tab stop",
         [](CDialog& d) { user::Key(d.GetDlgItemHwnd(IDOK), user::kReturn); },
         IDOK,
         {"dlg load", "dlg init", "dlg ok", "dlg save", "dlg destroy"}},
        {"Escape",
         [](CDialog& d) { user::Key(d.GetSafeHwnd(), user::kEscape); },
         IDCANCEL,
         {"dlg load", "dlg init", "dlg cancel", "dlg destroy"}},
        {"close box",
         [](CDialog& d) { user::Close(d.GetSafeHwnd()); },
         IDCANCEL,
         {"dlg load", "dlg init", "dlg close", "dlg cancel", "dlg destroy"}},
        {"Cancel button",
         [](CDialog& d) { user::Click(d.GetDlgItemHwnd(IDCANCEL)); },
         IDCANCEL,
         {"dlg load", "dlg init", "dlg cancel", "dlg destroy"}},
        {"another button has the focus on Enter",
         [](CDialog& d) {
             user::Key(d.GetDlgItemHwnd(10), user::kReturn);
             d.EndDialog(7);
         },
         7,
         {"dlg load", "dlg init", "dlg destroy"}},
    };
    for (const Row& row : rows) {
        g_log.clear();
        CLifeDlg dlg;
        bool shown = false;
        SetModalDialogHook([&](CDialog& d) {
            shown = d.IsWindowVisible() != FALSE;
            row.act(d);
        });
        EXPECT_EQ(dlg.DoModal(), row.result) << row.way;
        EXPECT_TRUE(shown) << row.way;
        EXPECT_EQ(g_log, row.log) << row.way;
        EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << row.way;
    }
}

TEST_F(DialogTest, EndingDuringSetUpNeverShowsTheDialog) {
    CLifeDlg dlg;
    dlg.m_nEndInInit = IDCANCEL;
    bool hookRan = false;
    SetModalDialogHook([&](CDialog&) { hookRan = true; });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(hookRan);
    EXPECT_EQ(g_log, (std::vector<std::string>{"dlg load", "dlg init", "dlg destroy"}));
}

TEST_F(DialogTest, UnknownTemplateFailsToRun) {
    CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create(4242));
}

TEST_F(DialogTest, ModelessEndDialogHidesAndDestroyTakesOwnedWindowsFirst) {
    CLifeDlg owner(nullptr, "owner");
    ASSERT_TRUE(owner.Create(kTestTemplate));
    owner.ShowWindow(SW_SHOW);
    CLifeDlg owned(&owner, "owned");
    ASSERT_TRUE(owned.Create(kTestTemplate, &owner));
    owned.ShowWindow(SW_SHOW);
    g_log.clear();

    user::Key(owner.GetSafeHwnd(), user::kEscape);
    EXPECT_NE(owner.GetSafeHwnd(), nullptr);  // hidden, not destroyed
    EXPECT_FALSE(owner.IsWindowVisible());
    EXPECT_EQ(owner.GetResult(), IDCANCEL);

    owner.DestroyWindow();
    EXPECT_EQ(g_log, (std::vector<std::string>{"owner cancel", "owned destroy", "owner destroy"}));
    EXPECT_EQ(owned.GetSafeHwnd(), nullptr);
}

TEST_F(DialogTest, StateAndStylesOfControls) {
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    CWnd* label = dlg.GetDlgItem(12);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetDlgCtrlID(), 12);
    EXPECT_EQ(label->GetParent(), &dlg);
    EXPECT_EQ(label->GetStyle() & (WS_VISIBLE | WS_DISABLED), WS_VISIBLE);
    EXPECT_EQ(label->EnableWindow(FALSE), FALSE);
    EXPECT_EQ(label->GetStyle() & WS_DISABLED, WS_DISABLED);
    EXPECT_EQ(label->EnableWindow(TRUE), TRUE);
    EXPECT_EQ(label->ShowWindow(SW_HIDE), TRUE);
    EXPECT_EQ(label->GetStyle() & WS_VISIBLE, 0u);
    EXPECT_EQ(label->ShowWindow(SW_SHOW), FALSE);

    // Edits keep the text as set, CR LF included.
    dlg.SetDlgItemText(17, "325MHz");
    CString text;
    dlg.GetDlgItemText(17, text);
    EXPECT_EQ(text, CString("325MHz"));
    dlg.SetDlgItemText(12, "two\r\nlines");
    dlg.GetDlgItemText(12, text);
    EXPECT_EQ(text, CString("two\r\nlines"));
    EXPECT_EQ(dlg.GetDlgItem(9999), nullptr);
    dlg.DestroyWindow();
}

// A child on client edges, like the chart: its client area lies inside both edges.
TEST_F(DialogTest, ChildOnClientEdgesHasItsClientInside) {
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    CWnd child;
    ASSERT_TRUE(child.CreateEx(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, nullptr, nullptr,
                               WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 40}, &dlg, 300));
    RECT client{};
    child.GetClientRect(&client);
    EXPECT_EQ(client.right, 50 - 6);
    EXPECT_EQ(client.bottom, 30 - 6);
    EXPECT_EQ(dlg.GetDlgItem(300), &child);
    EXPECT_EQ(child.GetParent(), &dlg);
    dlg.DestroyWindow();
    EXPECT_EQ(child.GetSafeHwnd(), nullptr);
}

// The dialog and its controls are as large as their dialog units in the dialog's font.
TEST_F(DialogTest, DialogAndControlsAreSizedInDialogUnits) {
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    RECT size{0, 0, 200, 100};
    dlg.MapDialogRect(&size);
    EXPECT_GT(size.right, 200);
    RECT client{};
    dlg.GetClientRect(&client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    // Position and size each in pixels, as the system's dialog manager places the control.
    RECT expected{130, 80, 50, 14};
    dlg.MapDialogRect(&expected);
    RECT go{};
    dlg.GetDlgItem(10)->GetWindowRect(&go);
    dlg.ScreenToClient(&go);
    EXPECT_EQ(go.left, expected.left);
    EXPECT_EQ(go.top, expected.top);
    EXPECT_EQ(go.right - go.left, expected.right);
    EXPECT_EQ(go.bottom - go.top, expected.bottom);
    dlg.DestroyWindow();
}

}  // namespace
