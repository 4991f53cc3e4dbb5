// SPDX-License-Identifier: MIT
// The composition root of the Linux program: the one place that wires the adapters, the model and
// the Qt view together.
#include "app/PlatformWords.h"
#include "config/SettingsFile.h"
#include "net/CurlInternetClient.h"
#include "net/CurlMailer.h"
#include "posix/IniRegistryStore.h"
#include "posix/InstanceLock.h"
#include "posix/PosixClock.h"
#include "posix/PosixEnvironment.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixProcessLauncher.h"
#include "posix/RootTrust.h"
#include "posix/SignalPipe.h"
#include "posix/SystemLog.h"
#include "posix/Utf8Encoding.h"
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

// A start that must not go on: standard error (and the system log when `logged`), and a box where
// there is a display to show one.
int refuseToStart(const std::string& text, const QString& boxText, bool logged)
{
    if (logged) {
        ReportToSystemLog(text);
    } else {
        std::cerr << "sentrybell: " << text << '\n';
    }
    const QString platform = QGuiApplication::platformName();
    if (platform != "offscreen" && platform != "minimal") {
        QMessageBox::warning(nullptr, AppTitle, boxText);
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

    PosixClock clock;
    PosixEnvironment environment;

    // Before anything is read: root takes its settings only from where root alone can change them.
    if (const auto refusal = RootRefusal(SettingsFilePath(environment))) {
        return refuseToStart(*refusal, QString::fromStdString(*refusal), true);
    }
    const InstanceLock lock(environment.executableFolder() + "/.sentrybell.lock");
    const QString showRequestPath = ShowRequestPath(QString::fromStdString(environment.executableFolder()));
    if (lock.state() == InstanceLock::State::HeldElsewhere) {
        // The running window comes to the front, when that program listens; this start says so
        // either way. Nothing of this program but the box exists yet, so nothing can act behind it.
        AskRunningProgramToShow(showRequestPath);
        return refuseToStart("already running from " + environment.executableFolder() + "; this one ends",
                             "このフォルダーの Sentrybell は既に実行中です。\n" +
                                 QString::fromStdString(environment.executableFolder()),
                             false);
    }
    if (lock.state() == InstanceLock::State::Unavailable) {
        // Running without the guard could double every restart and every mail.
        const std::string text = lock.problem() + "; refusing to run without the one-watchdog guard";
        return refuseToStart(text, QString::fromStdString(text), true);
    }

    PosixFileSystem files(ReportToSystemLog);
    Utf8Encoding encoding;
    QtMessageBox messageBox;
    QtLifetime lifetime;
    QtShell shell;
    QtTray tray(AppIcon());
    IniRegistryStore registry(files, "/etc/sentrybell/registry.ini");

    QtFileChooser fileChooser;
    QtFolderChooser folderChooser;
    CurlInternetClient internet;
    PosixProcessLauncher launcher;
    CurlMailer::Options mailOptions;
    mailOptions.report = [](ReportKind, const std::string& text) { ReportToSystemLog(text); };
    CurlMailer mailer(mailOptions);

    SystemLogReport report;

    Form1 form({clock, environment, files, encoding, messageBox, tray, lifetime, shell, internet, mailer, launcher,
                registry, fileChooser, folderChooser, report, LinuxNotice()});
    // The mail account is read from the window at every message, as the other mail fields are.
    mailer.setCredentials([&form] { return MailAccount{form.txtAcount.Text, form.txtPass.Text}; });
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
