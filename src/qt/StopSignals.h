// SPDX-License-Identifier: MIT
#pragma once

#include "posix/SignalPipe.h"

#include <QObject>
#include <QSocketNotifier>

class AppLifetime;

// SIGTERM, SIGINT and SIGHUP end the program as the window's close does (the model's unload). The
// signal only wakes the event loop, so a check or an alert that is running finishes first, within
// its own bounds. A handler that is waiting in a modal dialog or a menu of its own is let go (the
// dialog rejected, the menu closed) so that it can return; the unload runs once it has.
class StopSignals : public QObject
{
public:
    explicit StopSignals(AppLifetime& lifetime);

private:
    void onSignal();
    void endWhenIdle();

    AppLifetime& m_lifetime;
    SignalPipe m_pipe{SIGTERM, SIGINT, SIGHUP};
    QSocketNotifier m_notifier;
    bool m_ending = false;
};
