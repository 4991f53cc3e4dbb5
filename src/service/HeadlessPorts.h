// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/FileChooser.h"
#include "pickers/FolderChooser.h"
#include "shell/UiServices.h"

#include <ostream>

// The window's side of the ports for a program without a window. Nothing here waits for an operator:
// a box becomes a line on standard error, a dialog is cancelled at once, and there is no tray.

// A message box's text, one line on the stream given (standard error in the service).
class StreamMessageBox : public MessageBoxService
{
public:
    explicit StreamMessageBox(std::ostream& out) : m_out(out) {}
    void MsgBox(const std::string& text, int style, const std::string& title) override;

private:
    std::ostream& m_out;
};

class NoTray : public TrayService
{
public:
    void notifyIcon(TrayMessage, const std::string&) override {}
    void installSubclass() override {}
    void restoreSubclass() override {}
    bool showsIcon() const override { return false; }
};

// Remembers how the model asked the program to end; the service's loop acts on it once the handler
// that asked has returned.
class ServiceLifetime : public AppLifetime
{
public:
    enum class Ending
    {
        None,
        Unload, // Form_QueryUnload, then the end
        Now,    // the end, with no unload (the reboot path)
    };
    void unloadWindow() override;
    void endNow() override { m_ending = Ending::Now; }
    // The request made since the last call, if any; an end with no unload stays requested.
    Ending takeEnding();

private:
    Ending m_ending = Ending::None;
};

// A service has no desktop to open a document on: the request is refused with a line on the stream.
class RefusingShell : public ShellService
{
public:
    explicit RefusingShell(std::ostream& out) : m_out(out) {}
    void openDocument(const std::string& document) override;

private:
    std::ostream& m_out;
};

// Dialogs that the operator closes at once, choosing nothing.
class CancellingFileChooser : public FileChooser
{
public:
    FileDialogResult choose(const FileDialogRequest&) override { return {}; }
    DialogBuffers buffers() const override { return {}; }
};

class CancellingFolderChooser : public FolderChooser
{
public:
    std::string browseForFolder(WindowHandle, const std::string&, const std::string&) override { return {}; }
};
