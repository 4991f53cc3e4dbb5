// SPDX-License-Identifier: MIT
// The composition root of sentrybelld, the Linux service: the adapters both Linux programs share, the
// model, headless ports in place of the window's, and the service's own loop under systemd. No GUI
// toolkit is linked.
#include "linux/LinuxAdapters.h"
#include "linux/StartGuard.h"
#include "posix/SignalPipe.h"
#include "service/HeadlessPorts.h"
#include "service/Keepalive.h"
#include "service/ServiceLoop.h"
#include "service/SystemdNotifier.h"
#include "shell/Form1.h"

#include <cstdlib>
#include <iostream>

int main()
{
    // Set by the unit for this program's load alone (see data/sentrybell.service.in): a command it
    // starts that uses GnuTLS must find it set up as usual.
    ::unsetenv("GNUTLS_NO_IMPLICIT_INIT");
    IgnoreFailedWriteSignals();
    // From here a stop or reload signal waits for the loop, whatever is running when it comes.
    SignalPipe signals{SIGTERM, SIGINT, SIGHUP};

    // Before anything is read.
    const StartGuard guard(PosixEnvironment{});
    if (guard.refusal()) {
        ReportStartRefusal(*guard.refusal());
        return 1;
    }

    const SystemdNotifier notifier = SystemdNotifier::fromEnvironment();
    const PosixClock clock;
    Keepalive keepalive(notifier, clock);
    LinuxAdapters adapters([&keepalive] { keepalive.whileWaiting(); });
    StreamMessageBox messageBox(std::cerr);
    NoTray tray;
    ServiceLifetime lifetime;
    RefusingShell shell(std::cerr);
    CancellingFileChooser fileChooser;
    CancellingFolderChooser folderChooser;
    Form1 form(adapters.services({messageBox, tray, lifetime, shell, fileChooser, folderChooser}));
    adapters.takeMailAccountFrom(form);

    ServiceLoop loop(form, clock, lifetime, signals, notifier, keepalive);
    return loop.run();
}
