// SPDX-License-Identifier: MIT
#include "qt/StopSignals.h"

#include "shell/UiServices.h"

#include <QApplication>
#include <QDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>

StopSignals::StopSignals(AppLifetime& lifetime) : m_lifetime(lifetime), m_notifier(m_pipe.fd(), QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &StopSignals::onSignal);
}

void StopSignals::onSignal()
{
    if (m_pipe.take().empty() || m_ending) {
        return;
    }
    m_ending = true;
    // From the event loop, never from inside whatever emitted the notification.
    QTimer::singleShot(0, this, &StopSignals::endWhenIdle);
}

void StopSignals::endWhenIdle()
{
    // Above the main loop's level, a handler is still running: waiting in a dialog or a menu.
    if (QThread::currentThread()->loopLevel() > 1) {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        } else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
        }
        QTimer::singleShot(50, this, &StopSignals::endWhenIdle);
        return;
    }
    m_lifetime.unloadWindow();
}
