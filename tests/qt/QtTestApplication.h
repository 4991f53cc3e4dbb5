// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>

// The one QApplication of the Qt test program, made by its main() (QtTestMain.cpp) before the first
// test and destroyed after the last, while Qt's own statics still exist.
inline QApplication& TestApplication()
{
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}
