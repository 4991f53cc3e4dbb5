// SPDX-License-Identifier: MIT
#include "qt/DialogOwner.h"

#include <QApplication>
#include <QWidget>

QWidget* DialogOwner(WindowHandle owner, QWidget* fallback)
{
    if (owner != 0) {
        if (QWidget* widget = QWidget::find(static_cast<WId>(owner))) {
            return widget->window();
        }
    }
    return fallback;
}

bool WidgetsAvailable()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}
