// SPDX-License-Identifier: MIT
#include "monitor/RecoveryActions.h"

#include "common/Environment.h"
#include "common/OperatorReport.h"
#include "monitor/ProcessLauncher.h"
#include "shell/Form1.h"

#include <array>

std::string SystemDirectory(Form1& form)
{
    return form.services().environment.systemFolder();
}

bool RunIisReset(Form1& form, std::string_view switchText)
{
    const Environment& environment = form.services().environment;
    // The program and its switch stay two separate arguments, so a folder with spaces needs no
    // quoting and no part of the path can be read as a further argument.
    const std::string program =
        SystemDirectory(form) + environment.pathSeparator() + "iisreset" + environment.executableSuffix();
    return form.services().launcher.start(program, {std::string(switchText)});
}

void StartRecovery(Form1& form, std::string_view switchText)
{
    if (!RunIisReset(form, switchText)) {
        return;
    }
    const bool reboot = switchText == IisReboot;
    ++(reboot ? form.metrics.rebootsStarted : form.metrics.restartsStarted);
    form.services().report.event({EventName::RecoveryStarted, {{"action", reboot ? "reboot" : "restart"}}});
}

// The four buttons of the IIS control array, by index.
void Form1::IIS_Click(int index)
{
    static constexpr std::array<std::string_view, 4> switches{IisRestart, IisStart, IisStop, IisReboot};
    if (index < 0 || index >= static_cast<int>(switches.size())) {
        return;
    }
    (void)RunIisReset(*this, switches[static_cast<std::size_t>(index)]);
}
