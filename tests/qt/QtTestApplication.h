// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>

// The one QApplication of the Qt test program, made on first use and kept for the program's life
// (reachable, so the leak checker leaves it alone), so that every test can show widgets. Without a
// platform chosen, it draws offscreen, so the program also runs by hand where there is no display.
inline QApplication& TestApplication()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}
