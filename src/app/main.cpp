// SPDX-License-Identifier: MIT
// The composition root of the Linux desktop program: the adapters both Linux programs share, the
// model and the Qt view, wired together.
#include "linux/LinuxAdapters.h"
#include "linux/StartGuard.h"
#include "posix/SignalPipe.h"
#include "qt/AppIcon.h"
#include "qt/MainWindow.h"
#include "qt/QtFileChooser.h"
#include "qt/QtFolderChooser.h"
#include "qt/QtServices.h"
#include "qt/QtTray.h"
#include "qt/ShowRequests.h"
#include "qt/StopSignals.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

namespace {

// A start that must not go on: said as both programs say it, and in a box where there is a display
// to show one.
int refuseToStart(const StartRefusal& refusal)
{
    ReportStartRefusal(refusal);
    const QString platform = QGuiApplication::platformName();
    if (platform != "offscreen" && platform != "minimal") {
        const QString box = refusal.reason == StartRefusal::Reason::AlreadyRunning
                                ? "このフォルダーの Sentrybell は既に実行中です。\n" + toQString(refusal.folder)
                                : toQString(refusal.text);
        QMessageBox::warning(nullptr, AppTitle, box);
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    IgnoreFailedWriteSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle);
    // The window may be hidden while the program runs in the tray; only unloading it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(AppIcon());

    // Before anything is read.
    const PosixEnvironment environment;
    const StartGuard guard(environment);
    const QString showRequestPath = ShowRequestPath(QString::fromStdString(environment.executableFolder()));
    if (guard.refusal()) {
        if (guard.refusal()->reason == StartRefusal::Reason::AlreadyRunning) {
            // The running window comes to the front, when that program listens; this start says so
            // either way. Nothing of this program but the box exists yet, so nothing can act behind it.
            AskRunningProgramToShow(showRequestPath);
        }
        return refuseToStart(*guard.refusal());
    }

    LinuxAdapters adapters;
    QtMessageBox messageBox;
    QtLifetime lifetime;
    QtShell shell;
    QtTray tray(AppIcon());
    QtFileChooser fileChooser;
    QtFolderChooser folderChooser;
    Form1 form(adapters.services({messageBox, tray, lifetime, shell, fileChooser, folderChooser}));
    adapters.takeMailAccountFrom(form);
    MainWindow window(form, tray);
    messageBox.setParent(&window);
    lifetime.setWindow(&window);
    fileChooser.setParent(&window);
    folderChooser.setParent(&window);

    // From here a stop signal ends the program through the unload, once the event loop runs.
    const StopSignals stopSignals(lifetime);
    form.Form_Load();
    window.showAsModelSays();
    const ShowRequests showRequests(showRequestPath, [&window] { window.showForAnotherStart(); });
    if (!showRequests.listening()) {
        std::cerr << "sentrybell: another start cannot bring the window forward: "
                  << showRequests.problem().toStdString() << '\n';
    }
    return QApplication::exec();
}
