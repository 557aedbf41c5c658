// What the Win32 back end adds to the system's windows: subclassing an existing control, the
// colour requests of controls as the framework's one WM_CTLCOLOR, the program's menu from its
// menu data, the closing state ending the system's own message box and the framework's modal
// loop, and the system's notices reaching a hidden frame window.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/framework/framework.h"
#include "app/framework/win32_api.h"
#include "tests/framework/test_dialogs.h"

namespace {

// A control made by the system alone, then taken over.
class CTextLog : public CWnd {
public:
    std::vector<std::string> m_texts;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETTEXT) {
            m_texts.emplace_back(reinterpret_cast<const char*>(lParam));
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(Subclassing, TakesOverAControlAndKeepsItsOwnHandling) {
    HWND hEdit = ::CreateWindowExA(0, "Edit", "first", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(hEdit, nullptr);
    CTextLog log;
    ASSERT_TRUE(log.SubclassWindow(hEdit));
    EXPECT_EQ(CWnd::FromHandle(hEdit), &log);
    ::SetWindowTextA(hEdit, "second");
    CString text;
    log.GetWindowText(text);
    EXPECT_EQ(text, CString("second"));  // the edit's own procedure still keeps the text
    EXPECT_EQ(log.m_texts, (std::vector<std::string>{"second"}));

    EXPECT_EQ(log.Detach(), hEdit);
    EXPECT_EQ(CWnd::FromHandle(hEdit), nullptr);
    ::SetWindowTextA(hEdit, "third");
    EXPECT_EQ(log.m_texts.size(), 1u);
    char buffer[16] = {};
    ::GetWindowTextA(hEdit, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "third");

    CTextLog again;
    ASSERT_TRUE(again.SubclassWindow(hEdit));
    ::DestroyWindow(hEdit);
    EXPECT_EQ(again.GetSafeHwnd(), nullptr);
    EXPECT_EQ(CWnd::FromHandle(hEdit), nullptr);
}

// Writes down each colour request and answers the static's with a brush of its own.
class CColourDlg : public CDialog {
public:
    CColourDlg() : CDialog(kTestTemplate) {}
    ~CColourDlg() override { ::DeleteObject(m_hBrush); }
    std::vector<std::pair<int, UINT>> m_requests;  // control id (0: the dialog), kind
    HBRUSH m_hBrush = ::CreateSolidBrush(RGB(0, 128, 255));

    HBRUSH OnCtlColor(CDC*, CWnd* pWnd, UINT nCtlColor) {
        const int id = pWnd == this ? 0 : (pWnd != nullptr ? pWnd->GetDlgCtrlID() : -2);
        m_requests.emplace_back(id, nCtlColor);
        return id == 12 ? m_hBrush : nullptr;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColourDlg, CDialog)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST(ColourRequests, EachControlAsksWithItsKindAndTheBrushFillsIt) {
    RegisterDialogTemplate(&kTestDialog);
    CColourDlg dlg;
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    dlg.ShowWindow(SW_SHOW);
    dlg.RedrawWindow(nullptr, nullptr, RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

    struct Row {
        int nID;
        UINT nKind;
    };
    const Row rows[] = {
        {0, CTLCOLOR_DLG},      {12, CTLCOLOR_STATIC}, {11, CTLCOLOR_STATIC},
        {13, CTLCOLOR_LISTBOX}, {17, CTLCOLOR_STATIC},  // a read-only edit asks as a static
        {10, CTLCOLOR_BTN},
    };
    for (const Row& row : rows) {
        const std::pair<int, UINT> request(row.nID, row.nKind);
        EXPECT_NE(std::find(dlg.m_requests.begin(), dlg.m_requests.end(), request),
                  dlg.m_requests.end())
            << "control " << row.nID << " kind " << row.nKind;
    }
    // The label's background is the brush the handler gave.
    HWND hLabel = dlg.GetDlgItemHwnd(12);
    HDC hdc = ::GetDC(hLabel);
    RECT rc{};
    ::GetClientRect(hLabel, &rc);
    EXPECT_EQ(::GetPixel(hdc, rc.right - 1, rc.bottom - 1), RGB(0, 128, 255));
    ::ReleaseDC(hLabel, hdc);
    dlg.DestroyWindow();
    RegisterDialogTemplate(nullptr);
}

TEST(Fonts, ChildrenTheProgramMakesTakeTheDialogsFont) {
    RegisterDialogTemplate(&kTestDialog);
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    const LRESULT dialogFont = dlg.SendMessage(WM_GETFONT);
    ASSERT_NE(dialogFont, 0);
    CWnd chart;
    ASSERT_TRUE(
        chart.CreateEx(0, "ZelTestChart", nullptr, WS_CHILD, RECT{0, 0, 10, 10}, &dlg, 301));
    CStatic label;
    ASSERT_TRUE(label.Create("x", WS_CHILD, RECT{0, 0, 10, 10}, &dlg, 302));
    EXPECT_EQ(chart.SendMessage(WM_GETFONT), dialogFont);
    EXPECT_EQ(label.SendMessage(WM_GETFONT), dialogFont);
    // A font set later replaces it.
    HGDIOBJ other = ::GetStockObject(ANSI_FIXED_FONT);
    chart.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(other), FALSE);
    EXPECT_EQ(chart.SendMessage(WM_GETFONT), reinterpret_cast<LRESULT>(other));
    dlg.DestroyWindow();
    RegisterDialogTemplate(nullptr);
}

TEST(Pictures, AMissingBitmapResourceLeavesThePictureEmpty) {
    RegisterDialogTemplate(&kTestDialog);
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    CStatic picture;
    ASSERT_TRUE(picture.Create("", WS_CHILD | SS_BITMAP, RECT{0, 0, 20, 20}, &dlg, 400));
    EXPECT_FALSE(picture.SetBitmapResource(4321));
    EXPECT_EQ(picture.SendMessage(STM_GETIMAGE, IMAGE_BITMAP), 0);
    EXPECT_EQ(dlg.GetDlgItem(400), &picture);
    dlg.DestroyWindow();
    RegisterDialogTemplate(nullptr);
}

const MenuItemTemplate kItems[] = {{201, "&First"}, {202, "&Second"}};
const MenuTemplate kMenus[] = {{77, kItems, 2}};

TEST(Menus, TheMenuComesFromTheMenuDataWhereTheModuleHasNone) {
    SetProgramMenuTemplates(kMenus, 1);
    EXPECT_EQ(LoadMenu(AfxGetInstanceHandle(), MAKEINTRESOURCE(78)), nullptr);
    HMENU hMenu = LoadMenu(AfxGetInstanceHandle(), MAKEINTRESOURCE(77));
    ASSERT_NE(hMenu, nullptr);
    EXPECT_EQ(GetSubMenu(hMenu, 1), nullptr);
    HMENU hPopup = GetSubMenu(hMenu, 0);
    ASSERT_NE(hPopup, nullptr);
    ASSERT_EQ(::GetMenuItemCount(hPopup), 2);
    char text[32] = {};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(::GetMenuItemID(hPopup, i), kItems[i].nID);
        ::GetMenuStringA(hPopup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, kItems[i].lpszText);
    }
    EXPECT_TRUE(DestroyMenu(hMenu));
    SetProgramMenuTemplates(nullptr, 0);
}

constexpr UINT kStartClosing = WM_USER + 20;
constexpr UINT kClosed = WM_USER + 21;

// A hidden top-level window like the program's frame: it starts the closing when told, hears
// the end of it, and writes down the system's notices.
class CFrame : public CWnd {
public:
    CFrame() {
        EXPECT_TRUE(
            CreateEx(WS_EX_TOOLWINDOW, nullptr, "frame", WS_POPUP, RECT{0, 0, 0, 0}, nullptr, 0));
    }
    ~CFrame() override { DestroyWindow(); }
    std::vector<UINT> m_received;

    LRESULT OnStartClosing(WPARAM, LPARAM) {
        AfxBeginClosing(this, kClosed);
        return 0;
    }
    LRESULT OnClosed(WPARAM, LPARAM) { return Note(kClosed); }
    LRESULT OnPower(WPARAM, LPARAM) { return Note(WM_POWERBROADCAST); }
    LRESULT OnQueryEndSession(WPARAM, LPARAM) { return Note(WM_QUERYENDSESSION); }
    LRESULT OnEndSession(WPARAM, LPARAM) { return Note(WM_ENDSESSION); }

private:
    LRESULT Note(UINT message) {
        m_received.push_back(message);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFrame, CWnd)
ON_MESSAGE(kStartClosing, OnStartClosing)
ON_MESSAGE(kClosed, OnClosed)
ON_MESSAGE(WM_POWERBROADCAST, OnPower)
ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

// What the loop does until the closing's message has gone out.
void RunUntilQuiet() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

TEST(Closing, EndsTheSystemsMessageBoxAsClosed) {
    AfxInitFramework(true);  // the real boxes
    CFrame frame;
    struct Row {
        UINT nType;
        int nAnswer;
    };
    for (const Row& row : {Row{MB_OK, IDOK}, Row{MB_OKCANCEL, IDCANCEL}, Row{MB_YESNO, IDNO}}) {
        frame.m_received.clear();
        // The box's own loop delivers the request to close.
        frame.PostMessage(kStartClosing);
        EXPECT_EQ(MessageBox(frame.GetSafeHwnd(), "open", "ZEL", row.nType), row.nAnswer);
        RunUntilQuiet();
        EXPECT_FALSE(AfxIsClosing());
        EXPECT_EQ(frame.m_received, (std::vector<UINT>{kClosed})) << row.nType;
    }
    // A box opened while closing is answered at once.
    AfxBeginClosing(nullptr, 0);
    EXPECT_EQ(MessageBox(nullptr, "late", "ZEL", MB_OKCANCEL), IDCANCEL);
    RunUntilQuiet();
    EXPECT_FALSE(AfxIsClosing());
    SetMessageBoxService(nullptr);
}

TEST(Closing, EndsAModalDialogAsCancelAndFreesItsOwner) {
    RegisterDialogTemplate(&kTestDialog);
    CFrame frame;
    CDialog dlg(kTestTemplate, &frame);
    bool ownerDisabled = false;
    SetModalDialogHook([&](CDialog& d) {
        ownerDisabled = !frame.IsWindowEnabled();
        d.PostMessage(WM_NULL);  // keeps the loop turning until the request is read
        frame.PostMessage(kStartClosing);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    SetModalDialogHook({});
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(frame.IsWindowEnabled());
    RunUntilQuiet();
    EXPECT_EQ(frame.m_received, (std::vector<UINT>{kClosed}));
    RegisterDialogTemplate(nullptr);
}

TEST(Notices, TheSystemsBroadcastsReachAHiddenFrame) {
    CFrame frame;
    DWORD_PTR result = 0;
    for (UINT message : {WM_POWERBROADCAST, WM_QUERYENDSESSION, WM_ENDSESSION}) {
        ::SendMessageTimeoutA(HWND_BROADCAST, message, message == WM_POWERBROADCAST ? 7 : 0, 0,
                              SMTO_ABORTIFHUNG, 2000, &result);
    }
    EXPECT_EQ(frame.m_received,
              (std::vector<UINT>{WM_POWERBROADCAST, WM_QUERYENDSESSION, WM_ENDSESSION}));
}

}  // namespace
