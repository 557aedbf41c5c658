// The system calls of win32_api.h over Qt: the notification-area icon over QSystemTrayIcon,
// popup menus over QMenu, the rest over the window layer's own objects.
#include "app/framework/win32_api.h"
#include "app/framework/wnd.h"
#include "app/framework/qt/wnd_internal.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QSystemTrayIcon>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/framework/qt/app_qt.h"
#include "app/framework/closing.h"
#include "app/framework/dialog_template.h"
#include "app/framework/qt/notify_icons.h"

struct HICON__ {
    int nID;
};

struct HMENU__ {
    std::vector<std::pair<UINT, std::string>> items;
    std::vector<std::unique_ptr<HMENU__>> popups;
};

struct HINSTANCE__ {};

namespace {

HINSTANCE__ g_instance;

int ResourceNumber(LPCSTR lpName) {
    return static_cast<int>(reinterpret_cast<std::uintptr_t>(lpName) & 0xFFFF);
}

// One icon in the notification area; a child of its window's widget, so it goes with it.
class NotifyIcon : public QSystemTrayIcon {
public:
    NotifyIcon(QWidget* owner, UINT nID) : QSystemTrayIcon(owner), m_owner(owner), m_nID(nID) {
        connect(this, &QSystemTrayIcon::activated, this, &NotifyIcon::OnActivated);
    }
    void Apply(const NOTIFYICONDATAA& data) {
        if ((data.uFlags & NIF_MESSAGE) != 0) {
            m_nCallbackMessage = data.uCallbackMessage;
        }
        if ((data.uFlags & NIF_ICON) != 0 && data.hIcon != nullptr) {
            setIcon(QIcon(QPixmap::fromImage(LoadBitmapResource(data.hIcon->nID))));
        }
        if ((data.uFlags & NIF_TIP) != 0) {
            setToolTip(QString::fromLocal8Bit(
                data.szTip, static_cast<int>(qstrnlen(data.szTip, sizeof data.szTip))));
        }
    }
    QWidget* Owner() const { return m_owner.data(); }
    UINT Id() const { return m_nID; }

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason) {
        LPARAM mouse = 0;
        if (reason == QSystemTrayIcon::DoubleClick) {
            mouse = WM_LBUTTONDBLCLK;
        } else if (reason == QSystemTrayIcon::Context) {
            mouse = WM_RBUTTONDOWN;
        } else if (reason == QSystemTrayIcon::Trigger) {
            mouse = WM_LBUTTONDOWN;
        } else {
            return;
        }
        if (CWnd* target = CWnd::FromHandle(HandleOf(m_owner.data())); target != nullptr) {
            target->SendMessage(m_nCallbackMessage, m_nID, mouse);
        }
    }

    QPointer<QWidget> m_owner;
    UINT m_nID;
    UINT m_nCallbackMessage = 0;
};

// The popup menu on screen: ends with the closing state like any modal loop.
class PopupMenu : public QMenu {
public:
    explicit PopupMenu(QWidget* owner) : QMenu(owner) {
        connect(this, &QMenu::aboutToHide, this, [this]() { m_pShown.reset(); });
    }
    void Track(const HMENU__& menu, QPoint at, UINT uFlags) {
        clear();
        QPointer<QWidget> owner = parentWidget();
        for (const auto& [nID, text] : menu.items) {
            QAction* action = addAction(QString::fromLocal8Bit(text.c_str()));
            const UINT id = nID;
            connect(action, &QAction::triggered, this, [owner, id]() {
                if (CWnd* target = CWnd::FromHandle(HandleOf(owner.data())); target != nullptr) {
                    target->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
                }
            });
        }
        if ((uFlags & TPM_RIGHTALIGN) != 0) {
            at.rx() -= sizeHint().width();
        } else if ((uFlags & TPM_CENTERALIGN) != 0) {
            at.rx() -= sizeHint().width() / 2;
        }
        m_pShown = std::make_unique<ModalLoopScope>([this]() { close(); });
        if (AfxIsClosing()) {
            m_pShown.reset();
            return;
        }
        popup(at);
    }

private:
    std::unique_ptr<ModalLoopScope> m_pShown;
};

std::vector<QPointer<NotifyIcon>>& Icons() {
    static std::vector<QPointer<NotifyIcon>> icons;
    return icons;
}

}  // namespace

QSystemTrayIcon* FindNotifyIcon(HWND hWnd, UINT uID) {
    for (const QPointer<NotifyIcon>& icon : Icons()) {
        if (icon && icon->Owner() == WidgetOf(hWnd) && icon->Id() == uID) {
            return icon.data();
        }
    }
    return nullptr;
}

BOOL Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData) {
    if (lpData == nullptr || lpData->hWnd == nullptr) {
        return FALSE;
    }
    auto& icons = Icons();
    std::erase_if(icons, [](const QPointer<NotifyIcon>& icon) { return icon.isNull(); });
    auto* icon = static_cast<NotifyIcon*>(FindNotifyIcon(lpData->hWnd, lpData->uID));
    switch (dwMessage) {
        case NIM_ADD:
            if (icon != nullptr) {
                return FALSE;
            }
            icon = new NotifyIcon(WidgetOf(lpData->hWnd), lpData->uID);
            icons.emplace_back(icon);
            icon->Apply(*lpData);
            icon->show();
            return TRUE;
        case NIM_MODIFY:
            if (icon == nullptr) {
                return FALSE;
            }
            icon->Apply(*lpData);
            return TRUE;
        case NIM_DELETE:
            if (icon == nullptr) {
                return FALSE;
            }
            icon->hide();
            delete icon;
            return TRUE;
        default:
            return FALSE;
    }
}

HINSTANCE AfxGetInstanceHandle() {
    return &g_instance;
}

HICON LoadIcon(HINSTANCE /*hInstance*/, LPCSTR lpIconName) {
    static std::map<int, HICON__> icons;
    const int nID = ResourceNumber(lpIconName);
    // The picture itself is made when an icon shows it.
    if (!QFile::exists(QStringLiteral(":/res/%1.png").arg(nID)) &&
        !QFile::exists(QStringLiteral(":/res/%1.svg").arg(nID))) {
        return nullptr;
    }
    HICON__& icon = icons[nID];
    icon.nID = nID;
    return &icon;
}

HMENU LoadMenu(HINSTANCE /*hInstance*/, LPCSTR lpMenuName) {
    const MenuTemplate* tmpl = FindMenuTemplate(static_cast<UINT>(ResourceNumber(lpMenuName)));
    if (tmpl == nullptr) {
        return nullptr;
    }
    auto menu = std::make_unique<HMENU__>();
    auto popup = std::make_unique<HMENU__>();
    for (std::size_t i = 0; i < tmpl->nItems; ++i) {
        popup->items.emplace_back(tmpl->pItems[i].nID, tmpl->pItems[i].lpszText);
    }
    menu->popups.push_back(std::move(popup));
    return menu.release();
}

HMENU GetSubMenu(HMENU hMenu, int nPos) {
    if (hMenu == nullptr || nPos < 0 || static_cast<std::size_t>(nPos) >= hMenu->popups.size()) {
        return nullptr;
    }
    return hMenu->popups[static_cast<std::size_t>(nPos)].get();
}

BOOL DestroyMenu(HMENU hMenu) {
    if (hMenu == nullptr) {
        return FALSE;
    }
    delete hMenu;
    return TRUE;
}

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int /*nReserved*/, HWND hWnd,
                    const RECT* /*prcRect*/) {
    if (hMenu == nullptr || hWnd == nullptr) {
        return FALSE;
    }
    // One popup per owner window, shown again for each call: it returns at once, and the command
    // chosen later reaches the owner.
    QWidget* owner = WidgetOf(hWnd);
    auto* popup = owner->findChild<PopupMenu*>(QString(), Qt::FindDirectChildrenOnly);
    if (popup == nullptr) {
        popup = new PopupMenu(owner);
    }
    popup->Track(*hMenu, QPoint(x, y), uFlags);
    return TRUE;
}

BOOL SetForegroundWindow(HWND hWnd) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    return wnd != nullptr ? wnd->SetForegroundWindow() : FALSE;
}

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC /*lpTimerFunc*/) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    return wnd != nullptr ? wnd->SetTimer(nIDEvent, uElapse, nullptr) : 0;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    return wnd != nullptr ? wnd->KillTimer(uIDEvent) : FALSE;
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    return MessageBox(hWnd, lpText, lpCaption, uType);
}

int GetSystemMetrics(int nIndex) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen != nullptr ? screen->size() : QSize(0, 0);
    switch (nIndex) {
        case SM_CXSCREEN:
            return size.width();
        case SM_CYSCREEN:
            return size.height();
        default:
            return 0;
    }
}
