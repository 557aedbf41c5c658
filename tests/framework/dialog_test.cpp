// Dialog life: modal results for each way out, modeless hiding, destruction order, data
// exchange, and a self-painting child window.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include <string>
#include <vector>

#include "app/framework/framework.h"
#include "tests/framework/test_dialogs.h"
#include "tests/support/screenshot.h"
#include "app/framework/qt/wnd_internal.h"

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
         [](CDialog& d) { QTest::keyClick(WidgetOf(d.GetSafeHwnd()), Qt::Key_Return); },
         IDOK,
         {"dlg load", "dlg init", "dlg ok", "dlg save", "dlg destroy"}},
        {"Escape",
         [](CDialog& d) { QTest::keyClick(WidgetOf(d.GetSafeHwnd()), Qt::Key_Escape); },
         IDCANCEL,
         {"dlg load", "dlg init", "dlg cancel", "dlg destroy"}},
        {"close box",
         [](CDialog& d) { WidgetOf(d.GetSafeHwnd())->close(); },
         IDCANCEL,
         {"dlg load", "dlg init", "dlg close", "dlg cancel", "dlg destroy"}},
        {"Cancel button",
         [](CDialog& d) {
             QTest::mouseClick(WidgetOf(d.GetDlgItemHwnd(IDCANCEL)), Qt::LeftButton);
         },
         IDCANCEL,
         {"dlg load", "dlg init", "dlg cancel", "dlg destroy"}},
        {"another button has the focus on Enter",
         [](CDialog& d) {
             WidgetOf(d.GetDlgItemHwnd(10))->setFocus();
             QTest::keyClick(WidgetOf(d.GetDlgItemHwnd(10)), Qt::Key_Return);
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

    QTest::keyClick(WidgetOf(owner.GetSafeHwnd()), Qt::Key_Escape);
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
    EXPECT_EQ(text, QString("325MHz"));
    dlg.SetDlgItemText(12, "two\r\nlines");
    dlg.GetDlgItemText(12, text);
    EXPECT_EQ(text, QString("two\r\nlines"));
    EXPECT_EQ(dlg.GetDlgItem(9999), nullptr);
    dlg.DestroyWindow();
}

// A self-painting child on a client edge, like the chart.
class CPaintedWnd : public CWnd {
public:
    int m_nPaints = 0;
    void OnPaint() {
        ++m_nPaints;
        CPaintDC dc(this);
        RECT rc;
        GetClientRect(&rc);
        dc.FillSolidRect(0, 0, rc.right, rc.bottom, RGB(255, 0, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(DialogTest, SelfPaintingChildDrawsItsClientInsideItsEdges) {
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    CPaintedWnd painted;
    ASSERT_TRUE(painted.CreateEx(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, nullptr, nullptr,
                                 WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 40}, &dlg, 300));
    RECT client{};
    painted.GetClientRect(&client);
    EXPECT_EQ(client.right, 50 - 6);
    EXPECT_EQ(client.bottom, 30 - 6);
    EXPECT_EQ(dlg.GetDlgItem(300), &painted);

    const QImage image = GrabWindow(dlg);
    EXPECT_GT(painted.m_nPaints, 0);
    EXPECT_EQ(image.pixelColor(10 + 3, 10 + 3), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(10 + 46, 10 + 26), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(10, 10), QColor(Qt::red));  // the edge
    dlg.DestroyWindow();
    EXPECT_EQ(painted.GetSafeHwnd(), nullptr);
}

}  // namespace
