// SPDX-License-Identifier: MIT
#include "shell/TimerSchedule.h"

#include "common/Clock.h"
#include "shell/Controls.h"

TimerSchedule::TimerSchedule(Timer& timer, const Clock& clock)
    : m_timer(timer), m_clock(clock), m_armedAt(clock.steadyNow())
{
    // A property reports only a change of its value: setting the same interval again, or enabling
    // an enabled timer, leaves the count running.
    m_timer.addObserver([this](Control&, Prop) {
        if (m_timer.Enabled) {
            m_armedAt = m_clock.steadyNow();
        }
    });
}

std::optional<std::chrono::steady_clock::time_point> TimerSchedule::dueAt() const
{
    if (!m_timer.Enabled || m_timer.Interval <= 0) {
        return std::nullopt;
    }
    return m_armedAt + std::chrono::milliseconds(m_timer.Interval);
}

void TimerSchedule::ticked()
{
    m_armedAt = m_clock.steadyNow();
}
