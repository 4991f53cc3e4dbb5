// SPDX-License-Identifier: MIT
// Every port failing in turn under the running watchdog. Whatever fails, the check ends as the
// design says, no alert line is lost, and the next check is due at the right time by the fake clock
// (the interval after a failure or success, 40 s after an alert with a restart) and runs then.
#include "fakes/RunningWatchdog.h"

#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

constexpr milliseconds Interval{30000};
constexpr milliseconds RecoveryInterval{40000};

struct Fault
{
    const char* name;
    std::function<void(RunningWatchdog<>&)> apply;
    int outcome; // the fetch outcome the fault gives; 0 when the page itself is fine

    // GoogleTest would otherwise print the raw bytes, the struct's padding included.
    friend void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }
};

class FaultRecovery : public ::testing::TestWithParam<Fault>, protected RunningWatchdog<>
{
protected:
    FaultRecovery() { form.txtCC.Text = "cc1@example.test;cc2@example.test"; }
};

TEST_P(FaultRecovery, TheChecksGoOnAndNoAlertLineIsLost)
{
    const Fault& fault = GetParam();
    fault.apply(*this);
    const bool fails = fault.outcome != 0;

    tickAndExpectNextAfter(Interval);
    EXPECT_EQ(form.errCount, fails ? 1 : 0);
    // A second check: with a failing page it escalates, restart and alert included.
    tickAndExpectNextAfter(fails ? RecoveryInterval : Interval);
    EXPECT_EQ(form.errCount, 0);
    EXPECT_EQ(lines(form.errReport).size(), fails ? 2U : 0U);
    EXPECT_EQ(launcher.starts.size(), fails ? 1U : 0U) << "the restart was tried";
    EXPECT_EQ(mail.calls.size(), fails ? 3U : 0U) << "every recipient was tried";
    EXPECT_EQ(lifetime.endings, 0);

    // The fault goes away; the next check runs when due and succeeds.
    internet = FakeInternetClient{};
    internet.body = "<html>ok</html>";
    files.failWrites = false;
    launcher.succeed = true;
    mail.reply = "OK";
    tickAndExpectNextAfter(Interval);
    EXPECT_NE(form.Caption().find("正常読み込み済み"), std::string::npos);
    EXPECT_EQ(files.files.at(copyPath()), "<html>ok</html>");
}

INSTANTIATE_TEST_SUITE_P(
    EachPort, FaultRecovery,
    ::testing::Values(Fault{"NoSession", [](RunningWatchdog<>& w) { w.internet.failSession = true; }, 1},
                      Fault{"UrlNotOpened", [](RunningWatchdog<>& w) { w.internet.failOpen = true; }, 2},
                      Fault{"BodyBrokenOff", [](RunningWatchdog<>& w) { w.internet.failAfterBody = true; }, 3},
                      Fault{"TimeoutRefused", [](RunningWatchdog<>& w) { w.internet.refuseTimeout = true; }, 4},
                      Fault{"DiskFullWithThePageDown",
                            [](RunningWatchdog<>& w) {
                                w.internet.failOpen = true;
                                w.files.failWrites = true;
                            },
                            2},
                      Fault{"DiskFullWithThePageUp", [](RunningWatchdog<>& w) { w.files.failWrites = true; }, 0},
                      Fault{"RestartCannotStart",
                            [](RunningWatchdog<>& w) {
                                w.internet.failOpen = true;
                                w.launcher.succeed = false;
                            },
                            2},
                      Fault{"MailRefused",
                            [](RunningWatchdog<>& w) {
                                w.internet.failOpen = true;
                                w.mail.reply = "mail to \"ops@example.test\" failed: 550";
                            },
                            2}),
    [](const ::testing::TestParamInfo<Fault>& param) { return std::string(param.param.name); });

TEST(FaultRecoveryAcrossAlerts, AFailedAlertsLinesGoOutWithTheNextOne)
{
    RunningWatchdog<> m;
    m.setServerDown(true);
    m.mail.reply = "mail failed: 451 try later";
    ASSERT_TRUE(m.tick());
    ASSERT_TRUE(m.tick());
    m.mail.reply = "OK";
    m.mail.calls.clear();
    ASSERT_TRUE(m.tick());
    ASSERT_TRUE(m.tick());
    ASSERT_EQ(m.mail.calls.size(), 1U);
    EXPECT_EQ(m.lines(m.mail.calls[0].body).size(), 4U);
}

} // namespace
