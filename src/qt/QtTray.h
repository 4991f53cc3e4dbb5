// SPDX-License-Identifier: MIT
#pragma once

#include "shell/UiServices.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

// The notification-area icon. The "subclass" of the window is the connection of the icon's
// activation to the window's menu: a right click pops the menu at the mouse, modally, unless the menu
// is disabled (while the window has a box open), and every other click does nothing. Where no notification area exists
// the program works without the icon, and the icon appears if a notification area comes up a little later.
class QtTray : public QObject, public TrayService
{
    Q_OBJECT

public:
    explicit QtTray(QIcon icon, QObject* parent = nullptr);

    void setMenu(QMenu* menu) { m_menu = menu; }

    void notifyIcon(TrayMessage message, const std::string& tip) override;
    void installSubclass() override;
    void restoreSubclass() override;
    bool showsIcon() const override;

    // A notification area exists on this desktop.
    static bool hostAvailable();
    // The icon is meant to be in the tray (added and not deleted).
    bool isShown() const { return m_wanted; }
    QString tip() const { return m_icon.toolTip(); }
    QSystemTrayIcon& icon() { return m_icon; }
    // The menu that the last right click opened, while it is open.
    QMenu* openMenu() const { return m_openMenu; }

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void showWhenHostAppears();

    QSystemTrayIcon m_icon;
    QPointer<QMenu> m_menu;
    QPointer<QMenu> m_openMenu;
    QMetaObject::Connection m_subclass;
    QTimer m_retry;
    int m_retriesLeft = 0;
    bool m_wanted = false;
};
