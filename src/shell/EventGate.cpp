// SPDX-License-Identifier: MIT
#include "shell/EventGate.h"

#include <utility>

EventGate::EventGate(std::function<void(bool open)> modalChanged, std::function<void()> runTick)
    : m_modalChanged(std::move(modalChanged)), m_runTick(std::move(runTick))
{
}

EventGate::Handler::Handler(EventGate& gate) : m_gate(gate)
{
    ++m_gate.m_handlers;
}

EventGate::Handler::~Handler()
{
    --m_gate.m_handlers;
    m_gate.runPendingTick();
}

EventGate::Modal::Modal(EventGate& gate) : m_gate(gate)
{
    if (m_gate.m_modals++ == 0) {
        m_gate.m_modalChanged(true);
    }
}

EventGate::Modal::~Modal()
{
    if (--m_gate.m_modals == 0) {
        m_gate.m_modalChanged(false);
    }
    // A box opened outside any handler (nothing opens one today) lets the tick run as it closes.
    m_gate.runPendingTick();
}

void EventGate::tick()
{
    if (m_handlers > 0 || m_modals > 0) {
        m_tickPending = true;
        return;
    }
    m_runTick();
}

void EventGate::runPendingTick()
{
    if (m_tickPending && m_handlers == 0 && m_modals == 0) {
        m_tickPending = false;
        m_runTick();
    }
}

void GatedMessageBox::MsgBox(const std::string& text, int style, const std::string& title)
{
    const EventGate::Modal open(m_gate);
    m_box.MsgBox(text, style, title);
}

FileDialogResult GatedFileChooser::choose(const FileDialogRequest& request)
{
    const EventGate::Modal open(m_gate);
    return m_chooser.choose(request);
}

std::string GatedFolderChooser::browseForFolder(WindowHandle owner, const std::string& initialFolder,
                                                const std::string& prompt)
{
    const EventGate::Modal open(m_gate);
    return m_chooser.browseForFolder(owner, initialFolder, prompt);
}
