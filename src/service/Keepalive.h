// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <optional>

class Clock;
class SystemdNotifier;

// The keepalives (WATCHDOG=1) that tell systemd the watchdog still works, at half the period it
// asked for: from the loop between checks, and from inside a check's waits (a fetch may wait up to
// ten minutes, an alert one more), but there only while the check keeps within the bound it was
// given. A loop that no longer turns, or a check that runs past its bounds, goes silent, and systemd
// restarts the service.
class Keepalive
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    Keepalive(const SystemdNotifier& notifier, const Clock& clock);

    // When the loop must send the next one; nothing when systemd does not watch.
    std::optional<TimePoint> dueAt() const;
    // From the loop: sends one when it is due.
    void sendIfDue();
    // Around a check that may take up to `bound`.
    void checkStarting(std::chrono::milliseconds bound);
    void checkEnded() { m_checkDeadline.reset(); }
    // From a wait inside a check: sends one when it is due and the check is within its bound.
    void whileWaiting();

private:
    void send(TimePoint now);

    const SystemdNotifier& m_notifier;
    const Clock& m_clock;
    std::optional<std::chrono::steady_clock::duration> m_every;
    TimePoint m_last;
    std::optional<TimePoint> m_checkDeadline;
};
