// The notification-area icon of a window: icon, tip and the callback message that carries the
// mouse message in lParam (WM_LBUTTONDBLCLK, WM_RBUTTONDOWN), and the icon's context menu 131
// shown at the cursor with the window as owner of its commands.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>

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

    // Shows menu 131 at the screen point, left-aligned, and returns; the chosen command goes to
    // the notified window as WM_COMMAND. Closing the program closes it.
    void TrackPopupMenu(const QPoint& screenPos);

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    CWnd* m_pNotify;
    UINT m_nCallbackMessage;
    UINT m_nID;
    QSystemTrayIcon m_icon;
    std::unique_ptr<QMenu> m_pMenu;
    std::unique_ptr<ModalLoopScope> m_pMenuShown;
};
