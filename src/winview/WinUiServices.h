// SPDX-License-Identifier: MIT
#pragma once

#include "shell/UiServices.h"

#include <windows.h>

// Modal message boxes (MessageBoxW) over the main window.
class WinMessageBox : public MessageBoxService
{
public:
    void setOwner(HWND owner) { m_owner = owner; }
    void MsgBox(const std::string& text, int style, const std::string& title) override;

private:
    HWND m_owner = nullptr;
};

// Unloading sends the window WM_CLOSE: Form_QueryUnload runs, the window is destroyed, and its
// WM_DESTROY ends the message loop. Ending at once only leaves the message loop: no unload handling.
class WinLifetime : public AppLifetime
{
public:
    void setWindow(HWND window) { m_window = window; }
    void unloadWindow() override;
    void endNow() override;
    // endNow() was called: the loop ends without unloading the window.
    bool endedAtOnce() const { return m_endedAtOnce; }

private:
    HWND m_window = nullptr;
    bool m_endedAtOnce = false;
};

// Hands a document or address to the shell ("open", ShellExecuteW), owned by the desktop window.
class WinShell : public ShellService
{
public:
    void openDocument(const std::string& document) override;
};
