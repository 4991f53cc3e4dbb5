// SPDX-License-Identifier: MIT
// sentrybelld as systemd runs it: what it tells systemd through a notification socket of the test's
// own, the settings it reads again on SIGHUP, and the one watchdog per install folder it keeps with
// the desktop program.
#include "e2e/InstalledProgram.h"
#include "support/LoopbackHttpServer.h"
#include "support/NotifySocket.h"
#include "support/SmtpTestServer.h"

#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr auto Bound = 30s;

std::string uniqueSocketName(const std::string& what)
{
    return "@sentrybell-e2e-" + std::to_string(::getpid()) + "-" + what;
}

bool endedWith(const std::optional<int>& status, int code)
{
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The settings of MonitoringSettings with one line changed.
std::string withLine(std::string settings, const std::string& from, const std::string& to)
{
    settings.replace(settings.find(from), from.size(), to);
    return settings;
}

TEST(Service, TellsSystemdWhenItIsReadyWhatItDoesThatItLivesAndThatItStops)
{
    LoopbackHttpServer web;
    web.setReply(HttpReply::page(200, "<html>alive</html>"));
    SmtpTestServer smtp;
    InstalledProgram program("sentrybelld");
    program.writeSettings(MonitoringSettings(program, web.url("/check.htm"), smtp.address(), "0", "\" \""));
    NotifySocket systemd(uniqueSocketName("notify"));

    ChildProcess& service = program.start({{"NOTIFY_SOCKET", systemd.name()}, {"WATCHDOG_USEC", "1000000"}});
    ASSERT_TRUE(WaitUntil([&] { return !systemd.messages().empty(); }, Bound)) << program.standardError();
    EXPECT_TRUE(systemd.messages().front().starts_with("READY=1\nSTATUS=")) << systemd.messages().front();
    // The status line follows the window's caption: a check, then its result.
    const auto statusOfAGoodCheck = [&] {
        const auto& all = systemd.messages();
        return std::any_of(all.begin(), all.end(), [](const std::string& m) {
            return m.starts_with("STATUS=") && contains(m, "正常読み込み済み");
        });
    };
    EXPECT_TRUE(WaitUntil(statusOfAGoodCheck, Bound)) << program.standardError();
    EXPECT_TRUE(systemd.waitFor("WATCHDOG=1", 3, Bound)) << "keepalives at half of the watchdog's second";

    // systemctl reload: the settings again, in the same process.
    ASSERT_EQ(::kill(service.pid(), SIGHUP), 0);
    EXPECT_TRUE(systemd.waitFor("RELOADING=1", 1, Bound));
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto& all = systemd.messages();
            return std::count_if(all.begin(), all.end(),
                                 [](const std::string& m) { return m.starts_with("READY=1"); }) == 2;
        },
        Bound));
    EXPECT_TRUE(
        contains(program.standardError(), "SIGHUP: reading the settings again from " + program.file("SETTING.ini")))
        << program.standardError();
    EXPECT_TRUE(service.running());

    ASSERT_EQ(::kill(service.pid(), SIGTERM), 0);
    EXPECT_TRUE(endedWith(service.waitForExit(Bound), 0));
    EXPECT_EQ(systemd.messages().back(), "STOPPING=1");
}

TEST(Service, ACheckWaitingForASilentPageKeepsTheWatchdogAlive)
{
    LoopbackHttpServer web;
    web.setReply(HttpReply::silence());
    SmtpTestServer smtp;
    InstalledProgram program("sentrybelld");
    program.writeSettings(withLine(MonitoringSettings(program, web.url("/check.htm"), smtp.address(), "0", "\" \""),
                                   "TIMEOUT=2", "TIMEOUT=4"));
    NotifySocket systemd(uniqueSocketName("silent"));

    program.start({{"NOTIFY_SOCKET", systemd.name()}, {"WATCHDOG_USEC", "1000000"}});
    ASSERT_TRUE(WaitUntil([&] { return !web.requests().empty(); }, Bound)) << program.standardError();
    const std::size_t whenTheCheckBegan = systemd.count("WATCHDOG=1");
    ASSERT_TRUE(WaitUntil([&] { return !ReadWholeFile(program.file("iiserr.txt")).empty(); }, Bound))
        << program.standardError();
    // Four seconds of waiting, a keepalive due every half second: without them systemd would have
    // taken the watchdog for hung after one.
    EXPECT_GE(systemd.count("WATCHDOG=1") - whenTheCheckBegan, 3U);
}

TEST(Service, SaysWhichSettingKeepsTheChecksOffAndReadsThemAgainOnSighup)
{
    LoopbackHttpServer web;
    web.setReply(HttpReply::page(200, "<html>alive</html>"));
    SmtpTestServer smtp;
    InstalledProgram program("sentrybelld");
    const std::string settings = MonitoringSettings(program, web.url("/check.htm"), smtp.address(), "0", "\" \"");

    ChildProcess& service = program.start();
    ASSERT_TRUE(WaitUntil(
        [&] { return contains(program.standardError(), "there is no " + program.file("SETTING.ini")); }, Bound))
        << program.standardError();

    program.writeSettings(withLine(settings, "URL=" + web.url("/check.htm"), "URL="));
    ASSERT_EQ(::kill(service.pid(), SIGHUP), 0);
    ASSERT_TRUE(WaitUntil(
        [&] { return contains(program.standardError(), "the checks stay off: txtUrl is empty (URL in [SETTING])"); },
        Bound))
        << program.standardError();
    EXPECT_TRUE(web.requests().empty());
    EXPECT_TRUE(service.running());

    program.writeSettings(settings);
    ASSERT_EQ(::kill(service.pid(), SIGHUP), 0);
    EXPECT_TRUE(WaitUntil([&] { return web.requests().size() >= 2; }, Bound)) << program.standardError();
    EXPECT_TRUE(service.running());
}

TEST(Service, KeepsOneWatchdogPerFolderWithTheDesktopProgram)
{
    InstalledProgram program("sentrybelld");
    program.install("sentrybell");
    for (const auto& [first, second] : {std::pair{"sentrybell", "sentrybelld"}, {"sentrybelld", "sentrybell"}}) {
        SCOPED_TRACE(first);
        const std::size_t firstInstance = program.startedCount();
        ChildProcess& running = program.start({}, -1, first);
        ASSERT_TRUE(WaitUntil([&] { return contains(program.standardError(firstInstance), "SETTING.ini"); }, Bound))
            << program.standardError(firstInstance);

        ChildProcess& refused = program.start({}, -1, second);
        EXPECT_TRUE(endedWith(refused.waitForExit(Bound), 1));
        EXPECT_TRUE(contains(program.standardError(firstInstance + 1), "already running from " + program.folder()))
            << program.standardError(firstInstance + 1);
        EXPECT_TRUE(running.running());
        running.stop();
    }
}

} // namespace
