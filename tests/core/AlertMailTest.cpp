// SPDX-License-Identifier: MIT
#include "monitor/AlertMail.h"

#include "fakes/FakeMailLibrary.h"
#include "fakes/FormHarness.h"

#include <gtest/gtest.h>

namespace {

class AlertMail : public ::testing::Test
{
protected:
    AlertMail()
    {
        f.txtSMTP.Text = "mail.example.test";
        f.txtSendto.Text = "ops@example.test";
        f.txtFrom.Text = "watch@example.test";
        f.txtSubject.Text = "障害通知";
        f.errReport = "line 1\r\nline 2\r\n";
    }
    std::vector<std::string> recipients() const
    {
        std::vector<std::string> result;
        for (const auto& call : mail.calls) {
            result.push_back(call.recipient);
        }
        return result;
    }

    FormHarness h;
    Form1& f = h.form;
    FakeMailLibrary& mail = h.mail;
};

TEST_F(AlertMail, PrimaryMessageCarriesTheFieldsInOrderAndAnEmptySixth)
{
    SendAlertMail(f);
    ASSERT_EQ(mail.calls.size(), 1u);
    const auto& call = mail.calls[0];
    EXPECT_EQ(call.server, "mail.example.test");
    EXPECT_EQ(call.recipient, "ops@example.test");
    EXPECT_EQ(call.sender, "watch@example.test");
    EXPECT_EQ(call.subject, "障害通知");
    EXPECT_EQ(call.body, "line 1\r\nline 2\r\n");
    EXPECT_EQ(call.sixth, "");
}

TEST_F(AlertMail, EmptyOrBlankCcSendsOnlyThePrimary)
{
    for (const char* cc : {"", " ", "    "}) {
        mail.calls.clear();
        f.txtCC.Text = cc;
        SendAlertMail(f);
        EXPECT_EQ(mail.calls.size(), 1u) << "CC \"" << cc << "\"";
    }
}

TEST_F(AlertMail, EachCcPieceGetsItsOwnMessageAfterThePrimary)
{
    f.txtCC.Text = "a@example.test;b@example.test";
    SendAlertMail(f);
    EXPECT_EQ(recipients(), (std::vector<std::string>{"ops@example.test", "a@example.test", "b@example.test"}));
    for (const auto& call : mail.calls) {
        EXPECT_EQ(call.server, "mail.example.test");
        EXPECT_EQ(call.sender, "watch@example.test");
        EXPECT_EQ(call.subject, "障害通知");
        EXPECT_EQ(call.body, f.errReport);
        EXPECT_EQ(call.sixth, "");
    }
}

TEST_F(AlertMail, PiecesGoUntrimmedAndEmptyPiecesAreStillPassed)
{
    f.txtCC.Text = "a;;b;";
    SendAlertMail(f);
    EXPECT_EQ(recipients(), (std::vector<std::string>{"ops@example.test", "a", "", "b", ""}));

    mail.calls.clear();
    f.txtCC.Text = " a@example.test ; b@example.test";
    SendAlertMail(f);
    EXPECT_EQ(recipients(), (std::vector<std::string>{"ops@example.test", " a@example.test ", " b@example.test"}));
}

TEST_F(AlertMail, AllMessagesShareOneBoundAndTheRecipientsLeftAreReportedAndSkipped)
{
    f.txtCC.Text = "a@example.test;b@example.test;c@example.test; ";
    // A relay that takes 25 s over each message.
    mail.onSend = [&](const FakeMailLibrary::Call&) { h.clock.advance(std::chrono::seconds(25)); };
    SendAlertMail(f);
    EXPECT_EQ(recipients(), (std::vector<std::string>{"ops@example.test", "a@example.test", "b@example.test"}));
    std::vector<long long> timeLeft;
    for (const auto& call : mail.calls) {
        timeLeft.push_back(call.timeLeft.count());
    }
    EXPECT_EQ(timeLeft, (std::vector<long long>{60000, 35000, 10000})) << "each message gets what is left";
    EXPECT_EQ(h.report.reports,
              std::vector<std::string>{"alert mail: its 60 s ran out before these recipients "
                                       "were tried, and they were skipped: \"c@example.test\", \" \""});
}

TEST_F(AlertMail, PrimaryRecipientIsNeverSplit)
{
    f.txtSendto.Text = "x@example.test;y@example.test";
    SendAlertMail(f);
    EXPECT_EQ(recipients(), (std::vector<std::string>{"x@example.test;y@example.test"}));
}

TEST_F(AlertMail, FieldsAreReadAgainBeforeEachMessage)
{
    f.txtCC.Text = "";
    int sent = 0;
    mail.onSend = [&](const FakeMailLibrary::Call&) {
        ++sent;
        f.txtSubject.Text = "subject " + std::to_string(sent);
        f.txtSMTP.Text = "smtp" + std::to_string(sent);
        f.txtFrom.Text = "from" + std::to_string(sent);
        f.errReport += "more\r\n";
        // The CC list is read after the primary message went out, and split once.
        f.txtCC.Text = sent == 1 ? "a;b" : "changed;too;late";
    };
    SendAlertMail(f);
    ASSERT_EQ(mail.calls.size(), 3u);
    EXPECT_EQ(mail.calls[0].subject, "障害通知");
    EXPECT_EQ(mail.calls[1].subject, "subject 1");
    EXPECT_EQ(mail.calls[1].server, "smtp1");
    EXPECT_EQ(mail.calls[1].sender, "from1");
    EXPECT_EQ(mail.calls[2].subject, "subject 2");
    EXPECT_EQ(mail.calls[2].body, "line 1\r\nline 2\r\nmore\r\nmore\r\n");
    EXPECT_EQ(mail.calls[2].recipient, "b");
}

TEST_F(AlertMail, FailedSendsNeitherStopTheRestNorReachTheWindow)
{
    mail.reply = "SMTP failed: connection refused";
    f.txtCC.Text = "a;b";
    const std::string caption = f.Caption;
    SendAlertMail(f);
    EXPECT_EQ(mail.calls.size(), 3u);
    EXPECT_EQ(f.Caption(), caption);
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST_F(AlertMail, EmptyFieldsArePassedUnchecked)
{
    f.txtSMTP.Text = "";
    f.txtSendto.Text = "";
    f.txtFrom.Text = "";
    f.txtSubject.Text = "";
    SendAlertMail(f);
    ASSERT_EQ(mail.calls.size(), 1u);
    EXPECT_EQ(mail.calls[0].server, "");
    EXPECT_EQ(mail.calls[0].recipient, "");
}

TEST(MailSplit, SplitsAtEachSemicolonKeepingEmptyPieces)
{
    std::int32_t count = 0;
    EXPECT_EQ(Split("/\\;/", "a;;b;", count), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(Split("/\\;/", ";", count), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Split("/\\;/", " x ; y ", count), (std::vector<std::string>{" x ", " y "}));
    EXPECT_EQ(Split("/\\;/", "single", count), (std::vector<std::string>{"single"}));
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(Split("/\\;/", "", count).empty());
    EXPECT_EQ(count, 0);
}

TEST(MailSplit, PatternIsARegularExpressionBetweenTheSlashes)
{
    std::int32_t count = 0;
    EXPECT_EQ(Split("/[,;] */", "a, b;c", count), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Split("/X/i", "axbXc", count), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Split("/", "a/b", count), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Split("/a/b/", "xa/by", count), (std::vector<std::string>{"x", "y"}));
}

TEST(MailSplit, OddPatternsNeverHangOrThrow)
{
    std::int32_t count = -1;
    EXPECT_EQ(Split("/x*/", "abc", count), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Split("/\\b/", "a;b", count), (std::vector<std::string>{"a;b"}));
    EXPECT_EQ(Split("/(/", "a(b", count), (std::vector<std::string>{"a(b"}));
    EXPECT_EQ(count, 1);
}

} // namespace
