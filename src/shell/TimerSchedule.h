// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <optional>

class Clock;
class Timer;

// When a Timer control's next tick is due, followed as a platform timer counts: the count starts when
// the timer is enabled, and starts again when its interval changes while it is enabled, and after
// each tick. A timer that is disabled, or whose interval is not positive, is never due. A loop that
// drives the model without a toolkit timer (the service, the tests' fake clock) asks it when to wake.
class TimerSchedule
{
public:
    TimerSchedule(Timer& timer, const Clock& clock);
    TimerSchedule(const TimerSchedule&) = delete;
    TimerSchedule& operator=(const TimerSchedule&) = delete;

    std::optional<std::chrono::steady_clock::time_point> dueAt() const;
    // Call as the tick's handler begins: a repeating timer counts again from its tick.
    void ticked();

private:
    Timer& m_timer;
    const Clock& m_clock;
    std::chrono::steady_clock::time_point m_armedAt;
};
