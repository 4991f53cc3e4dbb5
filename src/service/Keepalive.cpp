// SPDX-License-Identifier: MIT
#include "service/Keepalive.h"

#include "common/Clock.h"
#include "service/SystemdNotifier.h"

Keepalive::Keepalive(const SystemdNotifier& notifier, const Clock& clock)
    : m_notifier(notifier), m_clock(clock), m_last(clock.steadyNow())
{
    if (const auto period = notifier.watchdogPeriod()) {
        m_every = *period / 2;
    }
}

std::optional<Keepalive::TimePoint> Keepalive::dueAt() const
{
    if (!m_every) {
        return std::nullopt;
    }
    return m_last + *m_every;
}

void Keepalive::sendIfDue()
{
    const TimePoint now = m_clock.steadyNow();
    if (m_every && now >= m_last + *m_every) {
        send(now);
    }
}

void Keepalive::checkStarting(std::chrono::milliseconds bound)
{
    m_checkDeadline = m_clock.steadyNow() + bound;
}

void Keepalive::whileWaiting()
{
    if (!m_checkDeadline || m_clock.steadyNow() < *m_checkDeadline) {
        sendIfDue();
    }
}

void Keepalive::send(TimePoint now)
{
    m_notifier.notify("WATCHDOG=1");
    m_last = now;
}
