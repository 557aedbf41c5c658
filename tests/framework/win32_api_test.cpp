// The system calls by their Windows names over the Qt back end: the notification-area icon and
// its callback message, popup menus from menu resources, and their commands.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cstring>
#include <vector>

#include "app/framework/framework.h"
#include "app/framework/qt/notify_icons.h"
#include "app/framework/win32_api.h"

namespace {

constexpr UINT kCallback = WM_USER + 7;
constexpr UINT kIconId = 3;

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Message&) const = default;
};

// A hidden window that writes down its callback and command messages.
class Owner : public CWnd {
public:
    Owner() { EXPECT_TRUE(CreateEx(0, nullptr, "owner", WS_POPUP, RECT{0, 0, 1, 1}, nullptr, 0)); }
    ~Owner() override { DestroyWindow(); }
    std::vector<Message> received;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kCallback || message == WM_COMMAND) {
            received.push_back(Message{message, wParam, lParam});
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

NOTIFYICONDATAA IconData(HWND hWnd, const char* lpszTip) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = hWnd;
    nid.uID = kIconId;
    nid.uFlags = NIF_MESSAGE | NIF_TIP;
    nid.uCallbackMessage = kCallback;
    std::strcpy(nid.szTip, lpszTip);
    return nid;
}

TEST(NotifyIcon, AddModifyDeleteAndTheMouseAsTheCallbackMessage) {
    Owner owner;
    NOTIFYICONDATAA nid = IconData(owner.GetSafeHwnd(), "first");
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &nid));
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &nid));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &nid));
    QSystemTrayIcon* icon = FindNotifyIcon(owner.GetSafeHwnd(), kIconId);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->toolTip(), "first");
    std::strcpy(nid.szTip, "second");
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &nid));
    EXPECT_EQ(icon->toolTip(), "second");

    icon->activated(QSystemTrayIcon::DoubleClick);
    icon->activated(QSystemTrayIcon::Context);
    icon->activated(QSystemTrayIcon::MiddleClick);  // no mouse message a program is told of
    const std::vector<Message> expected = {{kCallback, kIconId, WM_LBUTTONDBLCLK},
                                           {kCallback, kIconId, WM_RBUTTONDOWN}};
    EXPECT_EQ(owner.received, expected);

    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
    EXPECT_EQ(FindNotifyIcon(owner.GetSafeHwnd(), kIconId), nullptr);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &nid));
}

TEST(NotifyIcon, GoesWithItsWindow) {
    auto owner = std::make_unique<Owner>();
    const HWND hWnd = owner->GetSafeHwnd();
    NOTIFYICONDATAA nid = IconData(hWnd, "tip");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &nid));
    owner.reset();
    EXPECT_EQ(FindNotifyIcon(hWnd, kIconId), nullptr);
}

const MenuItemTemplate kItems[] = {{201, "&First"}, {202, "&Second"}};
const MenuTemplate kMenus[] = {{77, kItems, 2}};

TEST(PopupMenu, TracksTheSubmenuAndSendsTheChosenCommandToItsOwner) {
    SetProgramMenuTemplates(kMenus, 1);
    EXPECT_EQ(LoadMenu(AfxGetInstanceHandle(), MAKEINTRESOURCE(78)), nullptr);
    HMENU hMenu = LoadMenu(AfxGetInstanceHandle(), MAKEINTRESOURCE(77));
    ASSERT_NE(hMenu, nullptr);
    EXPECT_EQ(GetSubMenu(hMenu, 1), nullptr);
    HMENU hPopup = GetSubMenu(hMenu, 0);
    ASSERT_NE(hPopup, nullptr);

    Owner owner;
    // Returns while the menu is open; the menu's own data may go at once.
    ASSERT_TRUE(TrackPopupMenu(hPopup, TPM_LEFTALIGN | TPM_LEFTBUTTON, 10, 10, 0,
                               owner.GetSafeHwnd(), nullptr));
    EXPECT_TRUE(DestroyMenu(hMenu));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), "&First");
    menu->actions()[1]->trigger();
    EXPECT_EQ(owner.received, (std::vector<Message>{{WM_COMMAND, 202, 0}}));

    // Closing the program closes an open menu, as it ends every modal loop.
    hMenu = LoadMenu(AfxGetInstanceHandle(), MAKEINTRESOURCE(77));
    ASSERT_TRUE(TrackPopupMenu(GetSubMenu(hMenu, 0), 0, 10, 10, 0, owner.GetSafeHwnd(), nullptr));
    DestroyMenu(hMenu);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    AfxBeginClosing(nullptr, 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    QApplication::processEvents();
    EXPECT_FALSE(AfxIsClosing());
    SetProgramMenuTemplates(nullptr, 0);
}

}  // namespace
