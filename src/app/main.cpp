// SPDX-License-Identifier: MIT
// The composition root of the Linux program: the one place that wires the adapters, the model and
// the Qt view together.
#include "net/CurlInternetClient.h"
#include "posix/PosixClock.h"
#include "posix/PosixEnvironment.h"
#include "posix/PosixFileSystem.h"
#include "posix/Utf8Encoding.h"
#include "qt/AppIcon.h"
#include "qt/MainWindow.h"
#include "qt/QtServices.h"
#include "qt/QtTray.h"
#include "shell/Form1.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle);
    // The window may be hidden while the program runs in the tray; only unloading it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(AppIcon());

    PosixClock clock;
    PosixEnvironment environment;
    PosixFileSystem files;
    Utf8Encoding encoding;
    QtMessageBox messageBox;
    QtLifetime lifetime;
    QtShell shell;
    QtTray tray(AppIcon());
    CurlInternetClient internet;

    Form1Services services{clock, environment, files, encoding, messageBox, tray, lifetime};
    services.shell = &shell;
    services.internet = &internet;
    Form1 form(services);
    MainWindow window(form, tray);
    messageBox.setParent(&window);
    lifetime.setWindow(&window);

    form.Form_Load();
    if (form.Visible && form.WindowState == 0) {
        window.show();
    }
    return QApplication::exec();
}
