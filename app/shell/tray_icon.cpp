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

void TrayIcon::TrackPopupMenu131(CWnd* pOwner, const QPoint& screenPos) {
    QMenu menu;
    for (const MenuItemTemplate& item : kMenu131) {
        QAction* action = menu.addAction(QString::fromUtf8(item.lpszText));
        action->setData(item.nID);
    }
    QPointer<QWidget> owner = pOwner->GetSafeHwnd();
    QAction* chosen = menu.exec(screenPos);
    if (chosen != nullptr && owner && CWnd::FromHandle(owner) == pOwner) {
        pOwner->SendMessage(WM_COMMAND, MAKEWPARAM(chosen->data().toUInt(), 0), 0);
    }
}
