// SPDX-License-Identifier: MIT
#include "e2e/VirtualDisplay.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr auto ServerBound = 30s;
constexpr auto TrayBound = 30s;

// Xvfb writes the display number it chose to the descriptor given by -displayfd, once it accepts
// connections.
std::string readDisplayNumber(int fd)
{
    std::string number;
    const auto end = std::chrono::steady_clock::now() + ServerBound;
    while (number.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd descriptor{fd, POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        char buffer[16];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        number.append(buffer, static_cast<std::size_t>(n));
    }
    const auto newline = number.find('\n');
    return newline == std::string::npos ? std::string() : number.substr(0, newline);
}

std::vector<unsigned long> windowIds(const std::string& lines)
{
    std::vector<unsigned long> ids;
    std::istringstream in(lines);
    unsigned long id = 0;
    while (in >> id) {
        ids.push_back(id);
    }
    return ids;
}

int fieldAfter(const std::string& text, const std::string& label)
{
    const auto at = text.find(label);
    return at == std::string::npos ? 0 : std::stoi(text.substr(at + label.size()));
}

std::string hex(unsigned long window)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

} // namespace

VirtualDisplay::VirtualDisplay()
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("VirtualDisplay: pipe failed");
    }
    ChildProcess::Options options;
    options.argv = {"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"};
    options.descriptor3 = pipeFds[1];
    try {
        m_server = std::make_unique<ChildProcess>(options);
    } catch (...) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        throw;
    }
    ::close(pipeFds[1]);
    const std::string number = readDisplayNumber(pipeFds[0]);
    ::close(pipeFds[0]);
    if (number.empty()) {
        throw std::runtime_error("VirtualDisplay: Xvfb did not come up");
    }
    m_name = ":" + number;
}

VirtualDisplay::~VirtualDisplay()
{
    m_tray.reset();
    m_server.reset();
}

std::map<std::string, std::string> VirtualDisplay::environment() const
{
    return {{"DISPLAY", m_name}, {"QT_QPA_PLATFORM", "xcb"}};
}

CommandResult VirtualDisplay::x(const std::vector<std::string>& argv) const
{
    return RunCommand(argv, {{"DISPLAY", m_name}});
}

void VirtualDisplay::startTrayHost()
{
    ChildProcess::Options options;
    options.argv = {"/usr/bin/trayer", "--edge",  "bottom", "--align",  "right", "--widthtype",
                    "pixel",           "--width", "120",    "--height", "24"};
    options.environment = {{"DISPLAY", m_name}};
    m_tray = std::make_unique<ChildProcess>(options);
    // trayer maps its panel after its tray plugin has taken the tray selection.
    const bool up = WaitUntil(
        [this] {
            const auto panels = windowIds(x({"xdotool", "search", "--onlyvisible", "--class", "trayer"}).output);
            m_panel = panels.empty() ? 0 : panels.front();
            return m_panel != 0;
        },
        TrayBound);
    if (!up) {
        throw std::runtime_error("VirtualDisplay: trayer's panel did not appear");
    }
}

std::vector<unsigned long> VirtualDisplay::windowsOf(int pid, bool viewableOnly) const
{
    std::vector<std::string> argv{"xdotool", "search"};
    if (viewableOnly) {
        argv.emplace_back("--onlyvisible");
    }
    argv.insert(argv.end(), {"--pid", std::to_string(pid)});
    return windowIds(x(argv).output);
}

WindowFacts VirtualDisplay::facts(unsigned long window) const
{
    WindowFacts facts;
    const std::string info = x({"xwininfo", "-id", hex(window)}).output;
    facts.viewable = info.find("Map State: IsViewable") != std::string::npos;
    facts.width = fieldAfter(info, "Width: ");
    facts.height = fieldAfter(info, "Height: ");
    const std::string properties = x({"xprop", "-id", hex(window), "WM_HINTS", "_NET_WM_STATE"}).output;
    facts.startsIconic = properties.find("Initial state is Iconic State.") != std::string::npos;
    facts.hidden = properties.find("_NET_WM_STATE_HIDDEN") != std::string::npos;
    return facts;
}

bool VirtualDisplay::isInTray(unsigned long window) const
{
    if (m_panel == 0) {
        return false;
    }
    const std::string tree = x({"xwininfo", "-tree", "-id", hex(m_panel)}).output;
    return tree.find(" " + hex(window) + " ") != std::string::npos;
}

void VirtualDisplay::pressKey(unsigned long window, const std::string& key) const
{
    x({"xdotool", "windowfocus", "--sync", std::to_string(window), "key", key});
}
