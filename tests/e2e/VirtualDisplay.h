// SPDX-License-Identifier: MIT
#pragma once

#include "support/ChildProcess.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// What the X server knows of one window.
struct WindowFacts
{
    bool viewable = false; // mapped, and so are its ancestors
    int width = 0;
    int height = 0;
    bool startsIconic = false; // WM_HINTS asks for the iconic (minimised) state
    bool hidden = false;       // _NET_WM_STATE holds _NET_WM_STATE_HIDDEN (minimised)
};

// A private X display (Debian's Xvfb, on a display number it picks itself), optionally with a
// notification area (Debian's trayer), and questions about its windows answered by xdotool, xwininfo
// and xprop. Everything it starts ends with it.
class VirtualDisplay
{
public:
    // Throws std::runtime_error when the server does not come up.
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":<number>".
    const std::string& name() const { return m_name; }
    // The variables that make a Qt program use this display.
    std::map<std::string, std::string> environment() const;

    // Starts trayer and returns once its panel is up (it owns the tray selection by then). Throws
    // std::runtime_error when it is not up in time.
    void startTrayHost();

    // The windows a process has made (by _NET_WM_PID), decimal ids; only the viewable ones when asked.
    std::vector<unsigned long> windowsOf(int pid, bool viewableOnly) const;
    WindowFacts facts(unsigned long window) const;
    // The window sits in the notification area (inside trayer's panel).
    bool isInTray(unsigned long window) const;
    // Gives the window the keyboard focus and types the key there (an xdotool key name).
    void pressKey(unsigned long window, const std::string& key) const;

private:
    CommandResult x(const std::vector<std::string>& argv) const;

    std::unique_ptr<ChildProcess> m_server;
    std::unique_ptr<ChildProcess> m_tray;
    std::string m_name;
    unsigned long m_panel = 0;
};
