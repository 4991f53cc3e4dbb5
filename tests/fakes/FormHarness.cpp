// SPDX-License-Identifier: MIT
#include "fakes/FormHarness.h"

FakeTimerDriver::FakeTimerDriver(Form1& form, FakeClock& clock) : m_form(form), m_clock(clock)
{
    m_armedAt = m_clock.steadyNow();
    m_form.Timer1.addObserver([this](Control&, Prop) {
        if (m_form.Timer1.Enabled) {
            m_armedAt = m_clock.steadyNow();
        }
    });
}

std::optional<std::chrono::steady_clock::time_point> FakeTimerDriver::dueAt() const
{
    if (!m_form.Timer1.Enabled || m_form.Timer1.Interval <= 0) {
        return std::nullopt;
    }
    return m_armedAt + std::chrono::milliseconds(m_form.Timer1.Interval);
}

bool FakeTimerDriver::fireNext()
{
    const auto due = dueAt();
    if (!due) {
        return false;
    }
    m_clock.advance(std::chrono::duration_cast<std::chrono::milliseconds>(*due - m_clock.steadyNow()));
    m_armedAt = m_clock.steadyNow(); // a repeating timer counts again from its tick
    m_form.Timer1_Timer();
    return true;
}
