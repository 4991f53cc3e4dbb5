// SPDX-License-Identifier: MIT
#include "fakes/FormHarness.h"
#include "monitor/AlertMail.h"
#include "net/CurlMailer.h"
#include "support/SmtpTestServer.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// The window's alert mail through the real adapter to a real server, wired as the program wires it.
class AlertMailDelivery : public ::testing::Test
{
protected:
    explicit AlertMailDelivery(SmtpTestServer::Options serverOptions = {}) : server(serverOptions)
    {
        mailer.setCredentials([this] { return MailAccount{f.txtAcount.Text, f.txtPass.Text}; });
        f.txtSMTP.Text = server.address();
        f.txtSendto.Text = "ops@example.test";
        f.txtFrom.Text = "watch@example.test";
        f.txtSubject.Text = "Webサーバー障害";
        f.txtAcount.Text = " ";
        f.txtPass.Text = " ";
        f.errReport = "2026/12/07 09:05:03\t1\t受信エラー\r\n2026/12/07 09:05:08\t2\t受信エラー\r\n";
    }

    static CurlMailer::Options mailerOptions(std::vector<std::string>& reports)
    {
        CurlMailer::Options options;
        options.connectTimeout = 5s;
        options.totalTimeout = 10s;
        options.report = [&reports](const std::string& text) { reports.push_back(text); };
        return options;
    }

    std::vector<std::vector<std::string>> envelopes() const
    {
        std::vector<std::vector<std::string>> result;
        for (const auto& mail : server.mails()) {
            result.push_back(mail.recipients);
        }
        return result;
    }

    std::vector<std::string> reports;
    SmtpTestServer server;
    CurlMailer mailer{mailerOptions(reports)};
    FormHarness h{{.mail = &mailer}};
    Form1& f = h.form;
};

using Envelopes = std::vector<std::vector<std::string>>;

TEST_F(AlertMailDelivery, CcOfTwoAddressesGivesThreeMessagesPrimaryFirst)
{
    f.txtCC.Text = "a@example.test;b@example.test";
    SendAlertMail(f);
    EXPECT_EQ(envelopes(), (Envelopes{{"ops@example.test"}, {"a@example.test"}, {"b@example.test"}}));
    for (const auto& mail : server.mails()) {
        EXPECT_EQ(mail.body, f.errReport);
        EXPECT_EQ(mail.subject, "Webサーバー障害");
        EXPECT_EQ(mail.mailFrom, "watch@example.test");
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(AlertMailDelivery, EmptyOrBlankCcSendsOneMessage)
{
    f.txtCC.Text = "";
    SendAlertMail(f);
    f.txtCC.Text = "   ";
    SendAlertMail(f);
    EXPECT_EQ(envelopes(), (Envelopes{{"ops@example.test"}, {"ops@example.test"}}));
}

TEST_F(AlertMailDelivery, EmptyPiecesArePassedAndFailAlone)
{
    f.txtCC.Text = "a@example.test;;b@example.test;";
    SendAlertMail(f);
    EXPECT_EQ(envelopes(), (Envelopes{{"ops@example.test"}, {"a@example.test"}, {"b@example.test"}}));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[0].find("no recipient address"), std::string::npos) << reports[0];
}

TEST_F(AlertMailDelivery, SpacedCcPieceReachesTheBareAddress)
{
    f.txtCC.Text = "a@example.test; b@example.test";
    SendAlertMail(f);
    EXPECT_EQ(envelopes(), (Envelopes{{"ops@example.test"}, {"a@example.test"}, {"b@example.test"}}));
}

TEST_F(AlertMailDelivery, BracketedAddressesAreSentAndParametersNeverReachTheEnvelope)
{
    f.txtSendto.Text = "Ops <ops@example.test>";
    f.txtFrom.Text = " <watch@example.test>";
    f.txtCC.Text =
        "<a@example.test>;b@example.test> NOTIFY=SUCCESS;c@example.test,d@example.test;Boss <e@example.test>";
    SendAlertMail(f);
    EXPECT_EQ(envelopes(), (Envelopes{{"ops@example.test"}, {"a@example.test"}, {"e@example.test"}}));
    const auto mails = server.mails();
    ASSERT_EQ(mails.size(), 3U);
    EXPECT_EQ(mails[0].mailFrom, "watch@example.test");
    EXPECT_EQ(mails[0].header("To"), "Ops <ops@example.test>") << "the header shows what was typed";
    EXPECT_EQ(mails[0].header("From"), "<watch@example.test>");
    ASSERT_EQ(reports.size(), 2U);
    EXPECT_NE(reports[0].find("\"b@example.test> NOTIFY=SUCCESS\" holds a space"), std::string::npos) << reports[0];
    EXPECT_NE(reports[1].find("holds \",\""), std::string::npos) << reports[1];
}

class AlertMailWithRefusal : public AlertMailDelivery
{
protected:
    static SmtpTestServer::Options refusingA()
    {
        SmtpTestServer::Options options;
        options.rejectRecipient = "a@";
        return options;
    }
    AlertMailWithRefusal() : AlertMailDelivery(refusingA()) {}
};

TEST_F(AlertMailWithRefusal, RefusedMessageDoesNotStopTheOthers)
{
    f.txtCC.Text = "a@example.test;b@example.test";
    SendAlertMail(f);
    EXPECT_EQ(envelopes(), (Envelopes{{"ops@example.test"}, {"b@example.test"}}));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("550"), std::string::npos) << reports[0];
}

class AlertMailWithAuth : public AlertMailDelivery
{
protected:
    static SmtpTestServer::Options authServer()
    {
        SmtpTestServer::Options options;
        options.offerAuth = true;
        return options;
    }
    AlertMailWithAuth() : AlertMailDelivery(authServer()) {}
};

TEST_F(AlertMailWithAuth, AccountFieldsAreReadWhenEachAlertIsSent)
{
    f.txtAcount.Text = "alerts";
    f.txtPass.Text = "s3cret pass";
    SendAlertMail(f);
    f.txtAcount.Text = " "; // the operator's way of saying "no account"
    SendAlertMail(f);
    const auto mails = server.mails();
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[0].authenticatedAs, "alerts");
    EXPECT_EQ(mails[1].authenticatedAs, "");
    EXPECT_EQ(server.authAttempts().size(), 1u);
}

} // namespace
