// SPDX-License-Identifier: MIT
// The service's side of systemd's notification protocol, against a socket of the test's own, and the
// keepalives it sends, on a fake clock.
#include "service/SystemdNotifier.h"

#include "fakes/FakePlatform.h"
#include "fakes/FormHarness.h"
#include "service/Keepalive.h"
#include "service/ServiceLoop.h"
#include "shell/Form1.h"
#include "support/NotifySocket.h"
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// NOTIFY_SOCKET and the watchdog's variables as systemd sets them, put back afterwards.
class ServiceEnvironment
{
public:
    ServiceEnvironment(const std::string& socket, const std::string& usec, const std::string& pid)
    {
        set("NOTIFY_SOCKET", socket);
        set("WATCHDOG_USEC", usec);
        set("WATCHDOG_PID", pid);
    }
    ~ServiceEnvironment()
    {
        for (const char* name : {"NOTIFY_SOCKET", "WATCHDOG_USEC", "WATCHDOG_PID"}) {
            ::unsetenv(name);
        }
    }

private:
    static void set(const char* name, const std::string& value)
    {
        if (!value.empty()) {
            ::setenv(name, value.c_str(), 1);
        }
    }
};

TEST(SystemdNotifier, MessagesReachAPathOrAnAbstractSocketWhole)
{
    const TemporaryFolder folder("notify");
    for (const std::string& name : {folder / "notify", "@sentrybell-notify-test-" + std::to_string(::getpid())}) {
        SCOPED_TRACE(name);
        NotifySocket supervisor(name);
        const SystemdNotifier notifier(name, 0us);
        EXPECT_TRUE(notifier.notify("READY=1\nSTATUS=2026/12/07 09:05:03 正常に読み込みました"));
        EXPECT_TRUE(notifier.notify("WATCHDOG=1"));
        EXPECT_EQ(supervisor.messages(),
                  (std::vector<std::string>{"READY=1\nSTATUS=2026/12/07 09:05:03 正常に読み込みました", "WATCHDOG=1"}));
    }
    // Started by hand: nowhere to send, and nothing fails.
    EXPECT_FALSE(SystemdNotifier("", 0us).notify("READY=1"));
    EXPECT_FALSE(SystemdNotifier("relative/socket", 0us).notify("READY=1"));
}

TEST(SystemdNotifier, TakesItsVariablesFromTheEnvironmentAndLeavesNoneToTheCommandsItStarts)
{
    NotifySocket supervisor("@sentrybell-notify-env-" + std::to_string(::getpid()));
    const std::string self = std::to_string(::getpid());
    // {WATCHDOG_USEC, WATCHDOG_PID, the period the service keeps}
    const struct
    {
        std::string usec;
        std::string pid;
        std::optional<std::chrono::microseconds> period;
    } rows[] = {
        {"30000000", "", 30s},
        {"30000000", self, 30s},
        {"30000000", "1", std::nullopt}, // the watchdog of another
                                         // process
        {"", "", std::nullopt},
        {"0", "", std::nullopt},
        {"-5", "", std::nullopt},
        {"30s", "", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.usec + " " + row.pid);
        const ServiceEnvironment environment(supervisor.name(), row.usec, row.pid);
        const SystemdNotifier notifier = SystemdNotifier::fromEnvironment();
        EXPECT_EQ(notifier.watchdogPeriod(), row.period);
        for (const char* name : {"NOTIFY_SOCKET", "WATCHDOG_USEC", "WATCHDOG_PID"}) {
            EXPECT_EQ(std::getenv(name), nullptr) << name;
        }
        EXPECT_TRUE(notifier.notify("WATCHDOG=1"));
    }
}

TEST(Keepalive, AtHalfThePeriodFromTheLoopAndFromACheckOnlyWithinItsBound)
{
    const std::string name = "@sentrybell-keepalive-" + std::to_string(::getpid());
    NotifySocket supervisor(name);
    const SystemdNotifier notifier(name, 10s);
    FakeClock clock;
    Keepalive keepalive(notifier, clock);
    const auto start = clock.steadyNow();
    EXPECT_EQ(keepalive.dueAt(), start + 5s);

    keepalive.sendIfDue();
    clock.advance(4999ms);
    keepalive.sendIfDue();
    EXPECT_EQ(supervisor.count("WATCHDOG=1"), 0U) << "not before half the period";
    clock.advance(1ms);
    keepalive.sendIfDue();
    EXPECT_EQ(supervisor.count("WATCHDOG=1"), 1U);
    EXPECT_EQ(keepalive.dueAt(), clock.steadyNow() + 5s);

    // A check that waits for its server keeps the watchdog alive for as long as its bound allows.
    keepalive.checkStarting(12s);
    for (int second = 0; second < 20; ++second) {
        clock.advance(1s);
        keepalive.whileWaiting();
    }
    EXPECT_EQ(supervisor.count("WATCHDOG=1"), 3U) << "at 5 s and 10 s into the check; silent past 12 s";
    keepalive.checkEnded();
    keepalive.sendIfDue();
    EXPECT_EQ(supervisor.count("WATCHDOG=1"), 4U) << "the loop speaks again once the check is over";

    // Where systemd does not watch, nothing is ever due.
    const SystemdNotifier unwatched(name, 0us);
    Keepalive none(unwatched, clock);
    EXPECT_EQ(none.dueAt(), std::nullopt);
    clock.advance(1h);
    none.sendIfDue();
    none.whileWaiting();
    EXPECT_EQ(supervisor.count("WATCHDOG=1"), 4U);
}

TEST(CheckBound, TheWholeFetchTheAlertAndRoomForTheRest)
{
    FormHarness harness;
    Form1& form = harness.form;
    // {receive timeout, the bound}: the fetch takes at least a minute and at most ten, the alert one.
    for (const auto& [timeout, bound] : {std::pair<std::string, std::chrono::seconds>{"1", 150s},
                                         {"30", 390s},
                                         {"2147483", 690s},
                                         {"", 690s},
                                         {"0", 690s}}) {
        form.txtTimeout.Text = timeout;
        EXPECT_EQ(CheckBound(form), bound) << timeout;
    }
}

} // namespace
