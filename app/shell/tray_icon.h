// The notification-area icon of a window: icon, tip and the callback message that carries the
// mouse message in lParam (WM_LBUTTONDBLCLK, WM_RBUTTONDOWN), and the popup menu 131 tracked at
// the cursor with the window as owner of its commands.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include "app/framework/framework.h"

class QMenu;

class TrayIcon : public QObject {
public:
    TrayIcon(CWnd* pNotify, UINT nCallbackMessage, UINT nID, int nIconResource,
             const char* lpszTip);
    ~TrayIcon() override;

    // NIM_ADD and NIM_DELETE.
    bool Add();
    void Delete();
    bool IsAdded() const { return m_icon.isVisible(); }
    QString Tip() const { return m_icon.toolTip(); }

    // Shows menu 131 at the screen point, left-aligned; the chosen command goes to pOwner as
    // WM_COMMAND. The menu is made for this one showing and deleted afterwards.
    static void TrackPopupMenu131(CWnd* pOwner, const QPoint& screenPos);

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    CWnd* m_pNotify;
    UINT m_nCallbackMessage;
    UINT m_nID;
    QSystemTrayIcon m_icon;
};
