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
    Raise(m_form.Timer1.Tick);
    return true;
}

namespace {

template <typename Port, typename Fake> Port& chosenOr(Port* chosen, Fake& fake)
{
    return chosen != nullptr ? *chosen : fake;
}

} // namespace

Form1Services FakePorts::services(const PortChoice& chosen)
{
    return {chosenOr(chosen.clock, clock),
            chosenOr(chosen.environment, environment),
            chosenOr(chosen.files, files),
            chosenOr(chosen.encoding, encoding),
            chosenOr(chosen.messageBox, messageBox),
            chosenOr(chosen.tray, tray),
            chosenOr(chosen.lifetime, lifetime),
            chosenOr(chosen.shell, shell),
            chosenOr(chosen.internet, internet),
            chosenOr(chosen.mail, mail),
            chosenOr(chosen.launcher, launcher),
            chosenOr(chosen.registry, registry),
            chosenOr(chosen.fileChooser, fileChooser),
            chosenOr(chosen.folderChooser, folderChooser),
            chosenOr(chosen.report, report),
            notice};
}
