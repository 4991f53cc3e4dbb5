// SPDX-License-Identifier: MIT
// The composition root of the Linux program: the one place that wires the adapters, the model and
// the Qt view together.
#include "net/CurlInternetClient.h"
#include "net/CurlMailer.h"
#include "posix/IniRegistryStore.h"
#include "posix/InstanceLock.h"
#include "posix/PosixClock.h"
#include "posix/PosixEnvironment.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixProcessLauncher.h"
#include "posix/SystemLog.h"
#include "posix/Utf8Encoding.h"
#include "qt/AppIcon.h"
#include "qt/MainWindow.h"
#include "qt/QtFileChooser.h"
#include "qt/QtFolderChooser.h"
#include "qt/QtServices.h"
#include "qt/QtTray.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle);
    // The window may be hidden while the program runs in the tray; only unloading it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(AppIcon());

    PosixClock clock;
    PosixEnvironment environment;

    const InstanceLock lock(environment.executableFolder() + "/.sentrybell.lock");
    if (lock.state() == InstanceLock::State::HeldElsewhere) {
        std::cerr << AppTitle << ": already running from " << environment.executableFolder() << "; this one ends\n";
        const QString platform = QGuiApplication::platformName();
        if (platform != "offscreen" && platform != "minimal") {
            QMessageBox::warning(nullptr, AppTitle,
                                 "このフォルダーの Sentrybell は既に実行中です。\n" +
                                     QString::fromStdString(environment.executableFolder()));
        }
        return 1;
    }

    PosixFileSystem files;
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
    mailOptions.report = ReportToSystemLog;
    CurlMailer mailer(mailOptions);

    Form1Services services{clock, environment, files, encoding, messageBox, tray, lifetime};
    services.shell = &shell;
    services.internet = &internet;
    services.launcher = &launcher;
    services.mail = &mailer;
    services.fileChooser = &fileChooser;
    services.folderChooser = &folderChooser;
    services.registry = &registry;
    Form1 form(services);
    // The mail account is read from the window at every message, as the other mail fields are.
    mailer.setCredentials([&form] { return MailAccount{form.txtAcount.Text, form.txtPass.Text}; });
    MainWindow window(form, tray);
    messageBox.setParent(&window);
    lifetime.setWindow(&window);
    fileChooser.setParent(&window);
    folderChooser.setParent(&window);

    form.Form_Load();
    if (form.Visible && form.WindowState == 0) {
        window.show();
    }
    return QApplication::exec();
}
