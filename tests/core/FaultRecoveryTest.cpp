// SPDX-License-Identifier: MIT
// Every port failing in turn under the running watchdog. Whatever fails, the check ends as the
// design says, no alert line is lost, and the next check is due at the right time by the fake clock
// (the interval after a failure or success, 40 s after an alert with a restart) and runs then.
#include "fakes/MonitoredForm.h"

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
    std::function<void(FormHarness&)> apply;
    int outcome; // the fetch outcome the fault gives; 0 when the page itself is fine

    // GoogleTest would otherwise print the raw bytes, the struct's padding included.
    friend void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }
};

class FaultRecovery : public ::testing::TestWithParam<Fault>, protected MonitoredForm
{
protected:
    // The due tick runs when due; returns when the next one is due, measured from the tick.
    milliseconds tickAndNextDue()
    {
        const auto due = h.timer.dueAt();
        EXPECT_TRUE(due.has_value());
        EXPECT_TRUE(h.timer.fireNext());
        EXPECT_EQ(h.clock.steadyNow(), due);
        const auto next = h.timer.dueAt();
        EXPECT_TRUE(next.has_value()) << "the timer is on again";
        return next ? std::chrono::duration_cast<milliseconds>(*next - h.clock.steadyNow()) : milliseconds(-1);
    }
};

TEST_P(FaultRecovery, TheChecksGoOnAndNoAlertLineIsLost)
{
    const Fault& fault = GetParam();
    fault.apply(h);
    const bool fails = fault.outcome != 0;

    EXPECT_EQ(tickAndNextDue(), Interval);
    EXPECT_EQ(f.errCount, fails ? 1 : 0);
    // A second check: with a failing page it escalates, restart and alert included.
    EXPECT_EQ(tickAndNextDue(), fails ? RecoveryInterval : Interval);
    EXPECT_EQ(f.errCount, 0);
    EXPECT_EQ(lines(f.errReport).size(), fails ? 2U : 0U);
    EXPECT_EQ(h.launcher.starts.size(), fails ? 1U : 0U) << "the restart was tried";
    EXPECT_EQ(h.mail.calls.size(), fails ? 3U : 0U) << "every recipient was tried";
    EXPECT_EQ(h.lifetime.endings, 0);

    // The fault goes away; the next check runs when due and succeeds.
    h.internet = FakeInternetClient{};
    h.internet.body = "<html>ok</html>";
    h.files.failWrites = false;
    h.launcher.succeed = true;
    h.mail.reply = "OK";
    EXPECT_EQ(tickAndNextDue(), Interval);
    EXPECT_NE(f.Caption().find("正常読み込み済み"), std::string::npos);
    EXPECT_EQ(h.files.files.at("/srv/watch/check.htm"), "<html>ok</html>");
}

INSTANTIATE_TEST_SUITE_P(
    EachPort, FaultRecovery,
    ::testing::Values(Fault{"NoSession", [](FormHarness& h) { h.internet.failSession = true; }, 1},
                      Fault{"UrlNotOpened", [](FormHarness& h) { h.internet.failOpen = true; }, 2},
                      Fault{"BodyBrokenOff", [](FormHarness& h) { h.internet.failAfterBody = true; }, 3},
                      Fault{"TimeoutRefused", [](FormHarness& h) { h.internet.refuseTimeout = true; }, 4},
                      Fault{"DiskFullWithThePageDown",
                            [](FormHarness& h) {
                                h.internet.failOpen = true;
                                h.files.failWrites = true;
                            },
                            2},
                      Fault{"DiskFullWithThePageUp", [](FormHarness& h) { h.files.failWrites = true; }, 0},
                      Fault{"RestartCannotStart",
                            [](FormHarness& h) {
                                h.internet.failOpen = true;
                                h.launcher.succeed = false;
                            },
                            2},
                      Fault{"MailRefused",
                            [](FormHarness& h) {
                                h.internet.failOpen = true;
                                h.mail.reply = "mail to \"ops@example.test\" failed: 550";
                            },
                            2}),
    [](const ::testing::TestParamInfo<Fault>& param) { return std::string(param.param.name); });

TEST(FaultRecoveryAcrossAlerts, AFailedAlertsLinesGoOutWithTheNextOne)
{
    MonitoredForm m;
    m.setServerDown(true);
    m.h.mail.reply = "mail failed: 451 try later";
    ASSERT_TRUE(m.h.timer.fireNext());
    ASSERT_TRUE(m.h.timer.fireNext());
    m.h.mail.reply = "OK";
    m.h.mail.calls.clear();
    ASSERT_TRUE(m.h.timer.fireNext());
    ASSERT_TRUE(m.h.timer.fireNext());
    ASSERT_EQ(m.h.mail.calls.size(), 3U);
    EXPECT_EQ(MonitoredForm::lines(m.h.mail.calls[0].body).size(), 4U);
}

} // namespace
