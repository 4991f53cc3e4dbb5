// SPDX-License-Identifier: MIT
// An iisreset that is missing or never ends, met by the running watchdog that really starts it. The
// recovery line and the alert still go out, the window is never held, every child is reaped once it
// ends, and the next check comes 40 s after the alert, by the fake clock.
#include "fakes/RunningWatchdog.h"
#include "monitor/StatusTexts.h"
#include "support/ProcessCensus.h"
#include "support/RealDisk.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr std::chrono::milliseconds RecoveryInterval{RecoveryIntervalMs};

class IisResetFaults : public ::testing::Test, protected RunningWatchdog<RealDisk>
{
protected:
    // Two failed checks: the second escalates and starts iisreset /RESTART.
    void failTwice()
    {
        setServerDown(true);
        tickAndExpectNextAfter(std::chrono::milliseconds(IntervalMs));
        tickAndExpectNextAfter(RecoveryInterval);
    }

    void expectAlertAndNextCheck()
    {
        const auto log = lines(ReadWholeFile(logPath()));
        ASSERT_EQ(log.size(), 3U);
        EXPECT_TRUE(log[2].ends_with("\t自動 Costom:0\tIIS再起動！！"));
        ASSERT_EQ(mail.calls.size(), 1U);
        EXPECT_EQ(form.errCount, 0);
        EXPECT_EQ(lifetime.endings, 0);
        setServerDown(false);
        tickAndExpectNextAfter(std::chrono::milliseconds(IntervalMs));
        EXPECT_NE(form.Caption().find("正常読み込み済み"), std::string::npos);
    }
};

TEST_F(IisResetFaults, AMissingIisResetIsReportedAndTheAlertStillGoesOut)
{
    fs::remove(folder / "iisreset");
    failTwice();
    ASSERT_EQ(launchReports.size(), 1U);
    EXPECT_NE(launchReports[0].find(folder / "iisreset"), std::string::npos) << launchReports[0];
    EXPECT_EQ(ChildrenOfThisProcess().all, 0);
    expectAlertAndNextCheck();
}

TEST_F(IisResetFaults, AnIisResetThatHangsNeitherHoldsTheWindowNorLeavesAZombie)
{
    // The stand-in writes its pid and then waits far longer than any test.
    const std::string pidFile = folder / "iisreset.pid";
    WriteFile(folder / "iisreset",
              "#!/bin/sh\necho $$ > \"" + pidFile + ".tmp\"\nmv \"" + pidFile + ".tmp\" \"" + pidFile +
                  "\"\nexec sleep 600\n",
              fs::perms(0755));
    const auto start = std::chrono::steady_clock::now();
    failTwice();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the check cycle waited for the command";
    EXPECT_TRUE(launchReports.empty());
    ASSERT_TRUE(Eventually([&] { return fs::exists(pidFile); }, 10s));
    EXPECT_EQ(ChildrenOfThisProcess().all, 1) << "still running while the watchdog goes on";
    expectAlertAndNextCheck();

    // Whoever ends the hung command (an operator, a service manager), it is reaped at once.
    const pid_t pid = std::stoi(ReadWholeFile(pidFile));
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    EXPECT_TRUE(Eventually([] { return ChildrenOfThisProcess().all == 0; }, 10s))
        << ChildrenOfThisProcess().zombies << " zombies left";
}

} // namespace
