// SPDX-License-Identifier: MIT
// Mail servers that fail the alert, met by the running watchdog over the real adapters. A failed alert
// must not stop the recovery, must be reported with its reason, must not hold the window longer than
// the mail's own bounds, and must lose no line: the next alert carries every failure since start-up.
// After it the watchdog goes on checking: the next check is due 40 s after the alert, by the fake
// clock, and runs then.
#include "RealNetwork.h"
#include "fakes/RunningWatchdog.h"
#include "monitor/StatusTexts.h"
#include "support/ClosedPort.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProcessCensus.h"
#include "support/RealDisk.h"
#include "support/SmtpTestServer.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Mode = SmtpTestServer::Mode;

class MailServerFaults : public ::testing::Test
{
protected:
    MailServerFaults() { w.form.txtUrl.Text = "http://" + deadWebServer.address() + "/check.htm"; }

    // Two failed checks in a row: the second restarts the web server and sends the alert.
    void failTwice()
    {
        ASSERT_TRUE(w.tick());
        ASSERT_EQ(w.form.errCount, 1);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(w.tick());
        alertSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    // What the alert's failure must not change: the restart was started and logged, the tray is torn
    // down, the count starts again, and the next check comes 40 s later and runs.
    void expectRecoveryAndTheNextCheck()
    {
        EXPECT_TRUE(Eventually([&] { return w.iisresetCalls() == "/RESTART\n"; }, 10s)) << w.iisresetCalls();
        const auto lines = w.lines(w.log());
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_TRUE(lines[2].ends_with("\t自動 Costom:0\tIIS再起動！！"));
        EXPECT_EQ(w.form.errCount, 0);
        EXPECT_FALSE(w.tray.iconShown);
        EXPECT_EQ(w.lifetime.endings, 0);
        const auto alertEnded = w.clock.steadyNow();
        ASSERT_TRUE(w.form.Timer1.Enabled());
        ASSERT_EQ(w.timer.dueAt(), alertEnded + 40s);

        LoopbackHttpServer web;
        web.setReply(HttpReply::page(200, "back"));
        w.form.txtUrl.Text = web.url("/check.htm");
        ASSERT_TRUE(w.tick());
        EXPECT_EQ(w.clock.steadyNow(), alertEnded + 40s);
        EXPECT_EQ(web.requests().size(), 1U);
        EXPECT_EQ(w.copy(), "back");
        EXPECT_EQ(w.form.Timer1.Interval(), w.IntervalMs);
    }

    ClosedPort deadWebServer;
    RunningWatchdog<RealDisk, RealNetwork> w;
    double alertSeconds = 0;
};

TEST_F(MailServerFaults, AServerThatRefusesTheConnection)
{
    ClosedPort refusing;
    w.form.txtSMTP.Text = refusing.address();
    failTwice();
    ASSERT_EQ(w.mailReports.size(), 1U);
    EXPECT_NE(w.mailReports[0].find(refusing.address()), std::string::npos) << w.mailReports[0];
    expectRecoveryAndTheNextCheck();

    // The lines of the alert that did not go out are in the next one, which a working server takes.
    SmtpTestServer working;
    w.form.txtSMTP.Text = working.address();
    w.form.txtUrl.Text = "http://" + deadWebServer.address() + "/check.htm";
    ASSERT_TRUE(w.tick());
    ASSERT_TRUE(w.tick());
    const auto mails = working.mails();
    ASSERT_EQ(mails.size(), 1U);
    EXPECT_EQ(w.lines(mails[0].body).size(), 4U) << mails[0].body;
    EXPECT_EQ(mails[0].body, w.form.errReport);
}

TEST_F(MailServerFaults, AServerThatStallsAfterItsGreetingHoldsTheWindowOnlyForTheMailBound)
{
    SmtpTestServer stalling(Mode::StallAfterGreeting);
    w.form.txtSMTP.Text = stalling.address();
    failTwice();
    EXPECT_LT(alertSeconds, 12.0) << "the mail's total bound is 2 s";
    ASSERT_EQ(w.mailReports.size(), 1U);
    EXPECT_NE(w.mailReports[0].find("Timeout"), std::string::npos) << w.mailReports[0];
    expectRecoveryAndTheNextCheck();
}

TEST_F(MailServerFaults, AServerThatRejectsTheRecipientStillGetsTheCopies)
{
    SmtpTestServer::Options options;
    options.rejectRecipient = "ops@";
    SmtpTestServer rejecting(options);
    w.form.txtSMTP.Text = rejecting.address();
    w.form.txtCC.Text = "cc@example.test";
    failTwice();
    ASSERT_EQ(w.mailReports.size(), 1U);
    EXPECT_NE(w.mailReports[0].find("550"), std::string::npos) << w.mailReports[0];
    const auto mails = rejecting.mails();
    ASSERT_EQ(mails.size(), 1U);
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"cc@example.test"});
    EXPECT_EQ(mails[0].body, w.form.errReport);
    expectRecoveryAndTheNextCheck();
}

TEST_F(MailServerFaults, AServerThatDropsTheConnectionInMidMessage)
{
    SmtpTestServer dropping(Mode::DropInData);
    w.form.txtSMTP.Text = dropping.address();
    failTwice();
    ASSERT_EQ(w.mailReports.size(), 1U) << "a message the server never acknowledged is not sent";
    EXPECT_FALSE(dropping.droppedMessages().empty()) << "the message had begun when the server left";
    expectRecoveryAndTheNextCheck();
}

} // namespace
