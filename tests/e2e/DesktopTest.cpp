// SPDX-License-Identifier: MIT
// The real program on an X display: starting into the tray, with and without a notification area.
#include "e2e/InstalledProgram.h"
#include "e2e/VirtualDisplay.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto StartBound = 30s;
// Time for a window that should not appear to appear all the same, once the program is up.
constexpr auto SettleTime = 1500ms;

// The client area of the main window, in pixels.
constexpr int WindowWidth = 672;
constexpr int WindowHeight = 328;

const std::string StartInTray = "[SETTING]\nKIDOU=1\nLOGIN=0\n";

TEST(Desktop, StartInTrayWithANotificationAreaShowsOnlyTheTrayIcon)
{
    VirtualDisplay display;
    display.startTrayHost();
    InstalledProgram program;
    program.writeSettings(StartInTray);

    ChildProcess& watchdog = program.start(display.environment());
    unsigned long icon = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (unsigned long window : display.windowsOf(watchdog.pid(), true)) {
                if (display.isInTray(window)) {
                    icon = window;
                    return true;
                }
            }
            return false;
        },
        StartBound))
        << "no tray icon\n"
        << program.standardError();
    std::this_thread::sleep_for(SettleTime);

    EXPECT_EQ(display.windowsOf(watchdog.pid(), true), std::vector<unsigned long>{icon})
        << "the tray icon is the only thing on screen";
    EXPECT_TRUE(watchdog.running());
}

TEST(Desktop, StartInTrayWithoutANotificationAreaLeavesTheWindowMinimised)
{
    VirtualDisplay display;
    InstalledProgram program;
    program.writeSettings(StartInTray);

    ChildProcess& watchdog = program.start(display.environment());
    unsigned long main = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (unsigned long window : display.windowsOf(watchdog.pid(), true)) {
                const WindowFacts facts = display.facts(window);
                if (facts.width == WindowWidth && facts.height == WindowHeight) {
                    main = window;
                    return true;
                }
            }
            return false;
        },
        StartBound))
        << "the window can be reached\n"
        << program.standardError();

    // With no window manager on the display a minimised window is still mapped; what marks it
    // minimised is what it asks of a window manager.
    const WindowFacts facts = display.facts(main);
    EXPECT_TRUE(facts.startsIconic);
    EXPECT_TRUE(facts.hidden);
    EXPECT_TRUE(watchdog.running());
}

} // namespace
