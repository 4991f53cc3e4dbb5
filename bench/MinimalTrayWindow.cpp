// SPDX-License-Identifier: MIT
// The yardstick for the program's idle memory: a window of the same size and a tray icon, with
// nothing else, built with the same Qt and the same options in the same tree.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap image(32, 32);
    image.fill(Qt::darkGreen);
    const QIcon icon(image);
    QApplication::setWindowIcon(icon);

    QWidget window;
    window.setWindowTitle("Sentrybell");
    window.resize(672, 328);
    window.show();
    QSystemTrayIcon tray(icon);
    tray.setToolTip("Sentrybell");
    tray.show();
    return QApplication::exec();
}
