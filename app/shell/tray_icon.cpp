#include "app/shell/tray_icon.h"

#include <QIcon>
#include <QMenu>
#include <QPixmap>

#include "app/res/menus.h"

TrayIcon::TrayIcon(CWnd* pNotify, UINT nCallbackMessage, UINT nID, int nIconResource,
                   const char* lpszTip)
    : m_pNotify(pNotify), m_nCallbackMessage(nCallbackMessage), m_nID(nID) {
    m_icon.setIcon(QIcon(QPixmap::fromImage(LoadBitmapResource(nIconResource))));
    m_icon.setToolTip(QString::fromUtf8(lpszTip));
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::OnActivated);
    m_pMenu = std::make_unique<QMenu>();
    for (const MenuItemTemplate& item : kMenu131) {
        QAction* action = m_pMenu->addAction(QString::fromUtf8(item.lpszText));
        const UINT id = item.nID;
        connect(action, &QAction::triggered, this,
                [this, id]() { m_pNotify->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); });
    }
    connect(m_pMenu.get(), &QMenu::aboutToHide, this, [this]() { m_pMenuShown.reset(); });
}

TrayIcon::~TrayIcon() {
    Delete();
}

bool TrayIcon::Add() {
    m_icon.show();
    return m_icon.isVisible();
}

void TrayIcon::Delete() {
    m_icon.hide();
}

void TrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
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
    m_pNotify->SendMessage(m_nCallbackMessage, m_nID, mouse);
}

void TrayIcon::TrackPopupMenu(const QPoint& screenPos) {
    m_pMenuShown = std::make_unique<ModalLoopScope>([this]() { m_pMenu->close(); });
    if (AfxIsClosing()) {
        m_pMenuShown.reset();
        return;
    }
    m_pMenu->popup(screenPos);
}
