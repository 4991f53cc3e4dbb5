// SPDX-License-Identifier: MIT
#include "fakes/FormHarness.h"

FakeTimerDriver::FakeTimerDriver(Form1& form, FakeClock& clock)
    : m_form(form), m_clock(clock), m_schedule(form.Timer1, clock)
{
}

bool FakeTimerDriver::fireNext()
{
    const auto due = dueAt();
    if (!due) {
        return false;
    }
    m_clock.advance(std::chrono::duration_cast<std::chrono::milliseconds>(*due - m_clock.steadyNow()));
    m_schedule.ticked();
    m_form.Timer1_Timer();
    return true;
}
