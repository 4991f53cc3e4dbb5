// SPDX-License-Identifier: MIT
#include "qt/QtServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void QtMessageBox::MsgBox(const std::string& text, int /*style*/, const std::string& title)
{
    // Style 48 is the only one the program uses: OK alone, with the exclamation (warning) icon.
    QMessageBox box(QMessageBox::Warning, toQString(title), toQString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

void QtLifetime::unloadWindow()
{
    if (m_window) {
        m_window->close();
    } else {
        QCoreApplication::exit(0);
    }
}

void QtLifetime::endNow()
{
    // QCoreApplication::quit() would close the windows first and so run the unload handling.
    QCoreApplication::exit(0);
}

void QtShell::openDocument(const std::string& document)
{
    const QString target = toQString(document);
    const QUrl url = target.startsWith('/') ? QUrl::fromLocalFile(target) : QUrl(target);
    QDesktopServices::openUrl(url);
}
