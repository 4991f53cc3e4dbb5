// SPDX-License-Identifier: MIT
#include "qt/QtTray.h"

#include "qt/QtServices.h"

#include <QCursor>

namespace {
constexpr int RetryIntervalMs = 2000;
constexpr int RetryCount = 30; // a notification area that comes up within a minute still gets the icon
} // namespace

QtTray::QtTray(QIcon icon, QObject* parent) : QObject(parent)
{
    m_icon.setIcon(icon);
    m_retry.setInterval(RetryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, &QtTray::showWhenHostAppears);
}

bool QtTray::hostAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::notifyIcon(TrayMessage message, const std::string& tip)
{
    switch (message) {
    case TrayMessage::Add:
        m_wanted = true;
        m_icon.setToolTip(toQString(tip));
        if (hostAvailable()) {
            m_icon.show();
        } else {
            m_retriesLeft = RetryCount;
            m_retry.start();
        }
        break;
    case TrayMessage::Modify:
        // A deleted icon stays deleted: the tip of an icon that is not there is not kept.
        if (m_wanted) {
            m_icon.setToolTip(toQString(tip));
        }
        break;
    case TrayMessage::Delete:
        m_wanted = false;
        m_retry.stop();
        m_icon.hide();
        break;
    }
}

void QtTray::installSubclass()
{
    if (!m_subclass) {
        m_subclass = connect(&m_icon, &QSystemTrayIcon::activated, this, &QtTray::onActivated);
    }
}

void QtTray::restoreSubclass()
{
    disconnect(m_subclass);
    m_subclass = {};
}

bool QtTray::showsIcon() const
{
    return m_wanted && m_icon.isVisible() && hostAvailable();
}

void QtTray::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Context || !m_menu || !m_wanted || !m_menu->isEnabled()) {
        return;
    }
    // Modal: the chosen item's handler has run when exec() returns.
    m_openMenu = m_menu;
    m_menu->exec(QCursor::pos());
    m_openMenu = nullptr;
}

void QtTray::showWhenHostAppears()
{
    if (!m_wanted || --m_retriesLeft < 0) {
        m_retry.stop();
        return;
    }
    if (hostAvailable()) {
        m_retry.stop();
        m_icon.show();
    }
}
