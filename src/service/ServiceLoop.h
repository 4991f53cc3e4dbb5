// SPDX-License-Identifier: MIT
#pragma once

#include "shell/TimerSchedule.h"

#include <chrono>

class Clock;
class Form1;
class Keepalive;
class ServiceLifetime;
class SignalPipe;
class SystemdNotifier;

// How long one check may legitimately take with the window's receive timeout: the whole fetch's
// bound, the alert's, and room for the log lines and the start of the restart command.
std::chrono::milliseconds CheckBound(const Form1& form);

// The service's event loop: the window's timer, the stop and reload signals and systemd's keepalives,
// on one thread as the window's handlers run. It sleeps in poll() on the signal pipe until the next
// of Timer1's tick (followed as the desktop's QTimer counts it) and the next keepalive is due. A
// signal that comes during a check is taken once the check has ended:
//   SIGTERM, SIGINT  end the program as the window's close does (Form_QueryUnload), status 0;
//   SIGHUP           reads the settings again as start-up does (Form_Load), in the same process.
// The model's own end (the reboot path) ends the loop at once, with no unload.
class ServiceLoop
{
public:
    ServiceLoop(Form1& form, const Clock& clock, ServiceLifetime& lifetime, SignalPipe& signals,
                const SystemdNotifier& notifier, Keepalive& keepalive);
    ServiceLoop(const ServiceLoop&) = delete;
    ServiceLoop& operator=(const ServiceLoop&) = delete;

    // Start-up (Form_Load), then the loop until the program ends; the exit status.
    int run();

private:
    bool waitForWork();
    void reload();
    bool unload();
    void tick();

    Form1& m_form;
    const Clock& m_clock;
    ServiceLifetime& m_lifetime;
    SignalPipe& m_signals;
    const SystemdNotifier& m_notifier;
    Keepalive& m_keepalive;
    TimerSchedule m_schedule;
};
