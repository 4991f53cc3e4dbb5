// SPDX-License-Identifier: MIT
#include "service/ServiceLoop.h"

#include "common/Clock.h"
#include "config/FieldRules.h"
#include "monitor/AlertMail.h"
#include "net/CurlInternetClient.h"
#include "posix/SignalPipe.h"
#include "posix/SystemLog.h"
#include "service/HeadlessPorts.h"
#include "service/Keepalive.h"
#include "service/SystemdNotifier.h"
#include "shell/Form1.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <poll.h>

namespace {

using namespace std::chrono_literals;

// Beyond the fetch and the alert: the log lines, the page copy, the start of the restart command.
constexpr std::chrono::milliseconds CheckSlack = 30s;

std::string readyMessage(const Form1& form)
{
    return "READY=1\nSTATUS=" + form.Caption();
}

} // namespace

std::chrono::milliseconds CheckBound(const Form1& form)
{
    // A timeout the rule refuses makes the fetch fail at once; the longest one bounds it anyway.
    const auto timeout = TimeoutMilliseconds(form.txtTimeout.Text()).value_or(std::chrono::milliseconds(60s).count());
    return WholeFetchBound(std::chrono::milliseconds(timeout), CurlFetchLimits{}) + AlertMailBound + CheckSlack;
}

ServiceLoop::ServiceLoop(Form1& form, const Clock& clock, ServiceLifetime& lifetime, SignalPipe& signals,
                         const SystemdNotifier& notifier, Keepalive& keepalive)
    : m_form(form), m_clock(clock), m_lifetime(lifetime), m_signals(signals), m_notifier(notifier),
      m_keepalive(keepalive), m_schedule(form.Timer1, clock)
{
    // The status line of `systemctl status`: the window's caption, as the tray's tip repeats it.
    m_form.addObserver([this](Control&, Prop prop) {
        if (prop == Prop::Caption) {
            m_notifier.notify("STATUS=" + m_form.Caption());
        }
    });
}

int ServiceLoop::run()
{
    m_form.Form_Load();
    m_notifier.notify(readyMessage(m_form));
    for (;;) {
        const bool signalled = waitForWork();
        if (signalled) {
            for (const int signal : m_signals.take()) {
                if (signal == SIGHUP) {
                    reload();
                } else if (unload()) {
                    return 0;
                }
            }
        }
        m_keepalive.sendIfDue();
        const auto due = m_schedule.dueAt();
        if (due && m_clock.steadyNow() >= *due) {
            tick();
        }
        const auto ending = m_lifetime.takeEnding();
        if (ending == ServiceLifetime::Ending::Now) {
            m_notifier.notify("STOPPING=1");
            return 0;
        }
        if (ending == ServiceLifetime::Ending::Unload && unload()) {
            return 0;
        }
    }
}

// Sleeps until a signal comes (true), or the tick or a keepalive is due.
bool ServiceLoop::waitForWork()
{
    std::optional<std::chrono::steady_clock::time_point> wake = m_schedule.dueAt();
    if (const auto keepalive = m_keepalive.dueAt(); keepalive && (!wake || *keepalive < *wake)) {
        wake = keepalive;
    }
    int timeoutMs = -1;
    if (wake) {
        // Rounded up: waking a little early would only turn the loop once more.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*wake - m_clock.steadyNow()).count();
        timeoutMs = static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
    }
    pollfd watched{m_signals.fd(), POLLIN, 0};
    const int ready = ::poll(&watched, 1, timeoutMs);
    return ready > 0 || (ready < 0 && errno == EINTR);
}

void ServiceLoop::reload()
{
    m_notifier.notify("RELOADING=1");
    ReportToSystemLog("SIGHUP: reading the settings again from " + m_form.IniPath);
    m_form.Form_Load();
    m_notifier.notify(readyMessage(m_form));
}

// The window's close: true when the program may end.
bool ServiceLoop::unload()
{
    int cancel = 0;
    Raise(m_form.QueryUnload, cancel, 0);
    if (cancel != 0) {
        return false;
    }
    m_notifier.notify("STOPPING=1");
    return true;
}

void ServiceLoop::tick()
{
    m_schedule.ticked();
    m_keepalive.checkStarting(CheckBound(m_form));
    Raise(m_form.Timer1.Tick);
    m_keepalive.checkEnded();
}
