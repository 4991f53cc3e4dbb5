// SPDX-License-Identifier: MIT
#pragma once

#include "shell/UiServices.h"

#include <QPointer>
#include <QWidget>

// Modal message boxes over the main window.
class QtMessageBox : public MessageBoxService
{
public:
    void setParent(QWidget* parent) { m_parent = parent; }
    void MsgBox(const std::string& text, int style, const std::string& title) override;

private:
    QPointer<QWidget> m_parent;
};

// Unloading closes the window (its close handling runs Form_QueryUnload); ending at once leaves the
// event loop without closing anything.
class QtLifetime : public AppLifetime
{
public:
    void setWindow(QWidget* window) { m_window = window; }
    void unloadWindow() override;
    void endNow() override;

private:
    QPointer<QWidget> m_window;
};

// Opens a document or address with the desktop's default application.
class QtShell : public ShellService
{
public:
    void openDocument(const std::string& document) override;
};

inline QString toQString(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
