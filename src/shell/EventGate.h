// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/FileChooser.h"
#include "pickers/FolderChooser.h"
#include "shell/UiServices.h"

#include <functional>

// The window's handlers run one at a time, as if from one message queue. A handler that shows a
// message box or a file or folder dialog waits there for the operator while the platform's nested
// loop goes on delivering events: the timer's ticks, the tray icon's clicks. Were they handled there,
// a whole check with its restart and its mail would run inside the box, and the tray menu would
// switch the timer behind it. So while a box is open the gate keeps the tray menu shut, and a tick
// starts no check: it is remembered, and runs once when the box has closed and the handler that
// opened it has returned, if the timer is still on then.
class EventGate
{
public:
    // `modalChanged` hears when the first box opens (true) and the last one closes (false); `runTick`
    // runs a tick's handler when the gate lets it.
    EventGate(std::function<void(bool open)> modalChanged, std::function<void()> runTick);
    EventGate(const EventGate&) = delete;
    EventGate& operator=(const EventGate&) = delete;

    // A handler of an event runs within one.
    class Handler
    {
    public:
        explicit Handler(EventGate& gate);
        ~Handler();
        Handler(const Handler&) = delete;
        Handler& operator=(const Handler&) = delete;

    private:
        EventGate& m_gate;
    };

    // A box or dialog is open within one.
    class Modal
    {
    public:
        explicit Modal(EventGate& gate);
        ~Modal();
        Modal(const Modal&) = delete;
        Modal& operator=(const Modal&) = delete;

    private:
        EventGate& m_gate;
    };

    // The timer's tick: runs now when nothing else does, else once later.
    void tick();
    bool modalOpen() const { return m_modals > 0; }

private:
    void runPendingTick();

    std::function<void(bool)> m_modalChanged;
    std::function<void()> m_runTick;
    int m_handlers = 0;
    int m_modals = 0;
    bool m_tickPending = false;
};

// The modal ports as the window's handlers see them: each call is a modal of the gate.
class GatedMessageBox : public MessageBoxService
{
public:
    GatedMessageBox(MessageBoxService& box, EventGate& gate) : m_box(box), m_gate(gate) {}
    void MsgBox(const std::string& text, int style, const std::string& title) override;

private:
    MessageBoxService& m_box;
    EventGate& m_gate;
};

class GatedFileChooser : public FileChooser
{
public:
    GatedFileChooser(FileChooser& chooser, EventGate& gate) : m_chooser(chooser), m_gate(gate) {}
    FileDialogResult choose(const FileDialogRequest& request) override;
    DialogBuffers buffers() const override { return m_chooser.buffers(); }

private:
    FileChooser& m_chooser;
    EventGate& m_gate;
};

class GatedFolderChooser : public FolderChooser
{
public:
    GatedFolderChooser(FolderChooser& chooser, EventGate& gate) : m_chooser(chooser), m_gate(gate) {}
    std::string browseForFolder(WindowHandle owner, const std::string& initialFolder,
                                const std::string& prompt) override;

private:
    FolderChooser& m_chooser;
    EventGate& m_gate;
};
