// SPDX-License-Identifier: MIT
#include "net/CurlMailer.h"

#include "support/SmtpTestServer.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Mode = SmtpTestServer::Mode;

const std::string Japanese = "2026/12/07 09:05:03\t1\t受信エラー：セッションを開けませんでした\r\n"
                             ".a line that starts with a dot\r\n"
                             "2026/12/07 09:05:08\t2\tｴﾗｰ\r\n";

class CurlMailerSmtp : public ::testing::Test
{
protected:
    CurlMailer mailer(CurlMailer::Options options = {})
    {
        if (!options.report) {
            options.report = [this](ReportKind kind, const std::string& text) {
                kinds.push_back(kind);
                reports.push_back(text);
            };
        }
        if (options.connectTimeout == CurlMailer::Options{}.connectTimeout) {
            options.connectTimeout = 5s;
            options.totalTimeout = 10s;
        }
        return CurlMailer(std::move(options));
    }
    static CurlMailer::Options notLoopback()
    {
        CurlMailer::Options options;
        options.isLoopback = [](const std::string&) { return false; };
        return options;
    }
    static SmtpTestServer::Options withAuth(Mode mode = Mode::Plain)
    {
        SmtpTestServer::Options options;
        options.mode = mode;
        options.offerAuth = true;
        return options;
    }

    std::vector<std::string> reports;
    std::vector<ReportKind> kinds; // of each report, in order
};

TEST_F(CurlMailerSmtp, MessageArrivesWellFormedWithTheBodyByteForByte)
{
    SmtpTestServer server;
    auto m = mailer();
    EXPECT_EQ(m.SendMail(server.address(), "ops@example.test", "watch@example.test", "Alert", Japanese, ""), "OK");

    const auto mails = server.mails();
    ASSERT_EQ(mails.size(), 1u);
    const auto& mail = mails[0];
    EXPECT_EQ(mail.mailFrom, "watch@example.test");
    EXPECT_EQ(mail.recipients, std::vector<std::string>{"ops@example.test"});
    EXPECT_EQ(mail.body, Japanese);
    EXPECT_EQ(mail.subject, "Alert");
    EXPECT_EQ(mail.header("From"), "watch@example.test");
    EXPECT_EQ(mail.header("To"), "ops@example.test");
    EXPECT_EQ(mail.header("MIME-Version"), "1.0");
    EXPECT_EQ(mail.header("Content-Type"), "text/plain; charset=UTF-8");
    EXPECT_TRUE(mail.header("Date").ends_with(" +0000")) << mail.header("Date");
    EXPECT_TRUE(mail.header("Message-ID").ends_with("@example.test>")) << mail.header("Message-ID");
    EXPECT_EQ(mail.authenticatedAs, "");
    EXPECT_TRUE(reports.empty());

    // A second message gets its own Message-ID; an ASCII body goes as it is.
    EXPECT_EQ(m.SendMail(server.address(), "ops@example.test", "watch@example.test", "Alert", "plain\r\n", ""), "OK");
    ASSERT_EQ(server.mails().size(), 2u);
    EXPECT_NE(server.mails()[1].header("Message-ID"), mail.header("Message-ID"));
    EXPECT_TRUE(server.mails()[1].data.ends_with("\r\n\r\nplain\r\n"));
}

TEST_F(CurlMailerSmtp, JapaneseSubjectDecodesToTheExactText)
{
    SmtpTestServer server;
    const std::string subject =
        "【警報】Webサーバー応答なし（ｼｽﾃﾑ ReBoot 済み）― 監視ツールからの自動送信メッセージです";
    EXPECT_EQ(mailer().SendMail(server.address(), "ops@example.test", "watch@example.test", subject, "x\r\n", ""),
              "OK");
    ASSERT_EQ(server.mails().size(), 1u);
    EXPECT_EQ(server.mails()[0].subject, subject);
}

TEST_F(CurlMailerSmtp, LineBreaksInHeaderValuesCannotAddHeadersOrRecipients)
{
    SmtpTestServer server;
    auto m = mailer();
    EXPECT_EQ(m.SendMail(server.address(), "ops@example.test", "watch@example.test",
                         "Alert\r\nBcc: victim@example.test", "x\r\n", ""),
              "OK");
    ASSERT_EQ(server.mails().size(), 1u);
    const auto mail = server.mails()[0];
    EXPECT_EQ(mail.header("Bcc"), "");
    EXPECT_EQ(mail.recipients, std::vector<std::string>{"ops@example.test"});
    EXPECT_EQ(mail.subject, "Alert  Bcc: victim@example.test");

    // In an address a line break would reach the SMTP dialogue itself: such a message is refused.
    const std::string refused =
        m.SendMail(server.address(), "ops@example.test>\r\nRCPT TO:<victim@example.test", "w@x", "s", "x\r\n", "");
    EXPECT_NE(refused, "OK");
    EXPECT_NE(refused.find("control character"), std::string::npos) << refused;
    EXPECT_EQ(server.mails().size(), 1u);
}

TEST_F(CurlMailerSmtp, EnvelopeAddressesAreTrimmedOfSpaces)
{
    SmtpTestServer server;
    EXPECT_EQ(
        mailer().SendMail(" " + server.address() + " ", " b@example.test", " watch@example.test  ", "s", "x\r\n", ""),
        "OK");
    ASSERT_EQ(server.mails().size(), 1u);
    EXPECT_EQ(server.mails()[0].recipients, std::vector<std::string>{"b@example.test"});
    EXPECT_EQ(server.mails()[0].mailFrom, "watch@example.test");
}

TEST_F(CurlMailerSmtp, EmptySenderGoesAsTheNullReversePath)
{
    SmtpTestServer server;
    EXPECT_EQ(mailer().SendMail(server.address(), "ops@example.test", "", "s", "x\r\n", ""), "OK");
    ASSERT_EQ(server.mails().size(), 1u);
    EXPECT_EQ(server.mails()[0].mailFrom, "");
}

TEST_F(CurlMailerSmtp, AuthenticatesWithTheAccountAndPasswordReadAtSendTime)
{
    SmtpTestServer server(withAuth());
    auto m = mailer();
    MailAccount account{"alerts", "s3cret pass"};
    m.setCredentials([&account] { return account; });

    EXPECT_EQ(m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", ""), "OK");
    ASSERT_EQ(server.mails().size(), 1u);
    EXPECT_EQ(server.mails()[0].authenticatedAs, "alerts");
    ASSERT_EQ(server.authAttempts().size(), 1u);
    EXPECT_TRUE(server.authAttempts()[0].accepted);

    // One space in either field says "no account".
    for (const MailAccount& blank : {MailAccount{" ", "s3cret pass"}, MailAccount{"alerts", " "}}) {
        account = blank;
        EXPECT_EQ(m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", ""), "OK");
    }
    ASSERT_EQ(server.mails().size(), 3u);
    EXPECT_EQ(server.mails()[1].authenticatedAs, "");
    EXPECT_EQ(server.mails()[2].authenticatedAs, "");
    EXPECT_EQ(server.authAttempts().size(), 1u);
}

TEST_F(CurlMailerSmtp, ServerWithoutAuthGetsTheMessageWithoutIt)
{
    SmtpTestServer server;
    auto m = mailer();
    m.setCredentials([] { return MailAccount{"alerts", "s3cret pass"}; });
    EXPECT_EQ(m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", ""), "OK");
    EXPECT_EQ(server.mails().size(), 1u);
    EXPECT_TRUE(server.authAttempts().empty());
}

TEST_F(CurlMailerSmtp, RefusedCredentialsAreAFailureWithTheServersReason)
{
    SmtpTestServer server(withAuth());
    auto m = mailer();
    m.setCredentials([] { return MailAccount{"alerts", "wrong"}; });
    const std::string result = m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", "");
    EXPECT_NE(result, "OK");
    EXPECT_NE(result.find("535"), std::string::npos) << result;
    EXPECT_TRUE(server.mails().empty());
    EXPECT_EQ(reports, std::vector<std::string>{result});
    EXPECT_EQ(kinds, std::vector<ReportKind>{ReportKind::MailNotSent});
}

TEST_F(CurlMailerSmtp, StartTlsOnLoopbackAcceptsASelfSignedCertificate)
{
    SmtpTestServer server(withAuth(Mode::StartTls));
    auto m = mailer();
    m.setCredentials([] { return MailAccount{"alerts", "s3cret pass"}; });
    EXPECT_EQ(m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", Japanese, ""), "OK");
    ASSERT_EQ(server.mails().size(), 1u);
    EXPECT_TRUE(server.mails()[0].overTls);
    EXPECT_EQ(server.mails()[0].body, Japanese);
    ASSERT_EQ(server.authAttempts().size(), 1u);
    EXPECT_TRUE(server.authAttempts()[0].overTls);
}

TEST_F(CurlMailerSmtp, SmtpsUrlSpeaksTlsFromTheStart)
{
    SmtpTestServer server(withAuth(Mode::ImplicitTls));
    auto m = mailer();
    m.setCredentials([] { return MailAccount{"alerts", "s3cret pass"}; });
    EXPECT_EQ(m.SendMail("smtps://" + server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", ""), "OK");
    ASSERT_EQ(server.mails().size(), 1u);
    EXPECT_TRUE(server.mails()[0].overTls);
    EXPECT_EQ(server.mails()[0].authenticatedAs, "alerts");
}

TEST_F(CurlMailerSmtp, OtherHostWithoutTlsNeverReceivesThePassword)
{
    SmtpTestServer server(withAuth());
    auto m = mailer(notLoopback());
    m.setCredentials([] { return MailAccount{"alerts", "s3cret pass"}; });
    const std::string result = m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", "");

    EXPECT_TRUE(server.authAttempts().empty());
    ASSERT_EQ(server.mails().size(), 1u);
    EXPECT_EQ(server.mails()[0].authenticatedAs, "");
    EXPECT_EQ(server.mails()[0].data.find("s3cret"), std::string::npos);
    EXPECT_TRUE(result.starts_with("OK without AUTH")) << result;
    EXPECT_NE(result.find("never sent in clear"), std::string::npos) << result;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("never sent in clear"), std::string::npos);
    EXPECT_EQ(kinds, std::vector<ReportKind>{ReportKind::MailSentWithoutAuth}) << "a message sent is no failure";
}

TEST_F(CurlMailerSmtp, OtherHostMustPresentATrustedCertificate)
{
    SmtpTestServer server(withAuth(Mode::StartTls));
    auto m = mailer(notLoopback());
    const std::string result = m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", "");
    EXPECT_NE(result, "OK");
    EXPECT_NE(result.find("certificate"), std::string::npos) << result;
    EXPECT_TRUE(server.mails().empty());
}

TEST_F(CurlMailerSmtp, OtherHostWithTrustedTlsGetsAuthOverTls)
{
    SmtpTestServer server(withAuth(Mode::StartTls));
    auto options = notLoopback();
    options.caFile = server.certificateFile();
    auto m = mailer(options);
    m.setCredentials([] { return MailAccount{"alerts", "s3cret pass"}; });
    EXPECT_EQ(m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", ""), "OK");
    ASSERT_EQ(server.authAttempts().size(), 1u);
    EXPECT_TRUE(server.authAttempts()[0].overTls);
    ASSERT_EQ(server.mails().size(), 1u);
    EXPECT_EQ(server.mails()[0].authenticatedAs, "alerts");
}

TEST_F(CurlMailerSmtp, SilentServerReleasesTheCallerWithAFailure)
{
    SmtpTestServer server(Mode::Silent);
    CurlMailer::Options options;
    options.connectTimeout = 2s;
    options.totalTimeout = 2s;
    // The service's keepalive to systemd goes on while the message waits.
    int waitingCalls = 0;
    options.whileWaiting = [&waitingCalls] { ++waitingCalls; };
    auto m = mailer(options);
    const auto started = std::chrono::steady_clock::now();
    const std::string result = m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 20s) << "the bound did not end the wait";
    EXPECT_NE(result.find("Timeout"), std::string::npos) << result;
    EXPECT_EQ(reports, std::vector<std::string>{result});
    EXPECT_GE(waitingCalls, 1) << "over a wait of two seconds";
}

TEST_F(CurlMailerSmtp, AMessageNeverOutlastsTheTimeItsCallerHasLeft)
{
    SmtpTestServer silent(Mode::Silent);
    auto m = mailer(); // its own bounds: 5 s to connect, 10 s in all
    const auto started = std::chrono::steady_clock::now();
    const std::string result =
        m.SendMail(silent.address(), "ops@example.test", "w@example.test", "s", "x\r\n", "", 500ms);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 4s) << "the caller's half second did not end the wait";
    EXPECT_NE(result.find("the alert's time ran out"), std::string::npos) << result;

    SmtpTestServer server;
    EXPECT_NE(m.SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", "", 0ms), "OK");
    EXPECT_TRUE(server.mails().empty()) << "no time left: no connection";
}

TEST_F(CurlMailerSmtp, ClosedPortIsAFailure)
{
    SmtpTestServer server(Mode::Closed);
    const std::string result =
        mailer().SendMail(server.address(), "ops@example.test", "w@example.test", "s", "x\r\n", "");
    EXPECT_NE(result.find("connect"), std::string::npos) << result;
    EXPECT_NE(result.find(server.address()), std::string::npos) << result;
    EXPECT_EQ(reports, std::vector<std::string>{result});
}

TEST_F(CurlMailerSmtp, RefusedRecipientCarriesTheServersReason)
{
    SmtpTestServer::Options refusing;
    refusing.rejectRecipient = "nobody";
    SmtpTestServer server(refusing);
    const std::string result =
        mailer().SendMail(server.address(), "nobody@example.test", "w@example.test", "s", "x\r\n", "");
    EXPECT_NE(result.find("550 5.1.1 <nobody@example.test>: Recipient address rejected"), std::string::npos) << result;
    EXPECT_TRUE(server.mails().empty());
    EXPECT_EQ(reports, std::vector<std::string>{result});
}

TEST_F(CurlMailerSmtp, TextsThatCannotBeSentFailWithoutAConnection)
{
    auto m = mailer();
    for (const char* server : {"", "  ", "http://example.test", "smtp://u:p@example.test"}) {
        EXPECT_NE(m.SendMail(server, "ops@example.test", "w@x", "s", "x\r\n", ""), "OK") << server;
    }
    EXPECT_NE(m.SendMail("127.0.0.1:1", "", "w@x", "s", "x\r\n", "").find("no recipient"), std::string::npos);
    EXPECT_NE(m.SendMail("127.0.0.1:1", "   ", "w@x", "s", "x\r\n", "").find("no recipient"), std::string::npos);
    EXPECT_EQ(reports.size(), 6u);
}

} // namespace
