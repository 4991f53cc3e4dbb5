// SPDX-License-Identifier: MIT
// The alert mail as the Windows program sends it: the same libcurl SMTP adapter as on Linux, here with
// Schannel and Winsock, against aiosmtpd servers that scripts/test-windows starts on the Linux side.
// Wine's Schannel accepts any certificate unless libcurl is given a CA file, so the TLS tests give one
// and treat the server as a remote one (no loopback leniency).
#include "core/CapturedStderr.h"
#include "fakes/FormHarness.h"
#include "monitor/AlertMail.h"
#include "net/CurlMailer.h"
#include "shell/Form1.h"
#include "win/SmtpPeer.h"
#include "win/WinSystemLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>
#include <winsock2.h>

namespace {

using namespace std::chrono_literals;
using testing::HasSubstr;

const std::string Body = "2026/12/07 9:05:03\t1回目\u3000ＵＲＬ指定エラー\r\n"
                         ".a line that starts with a dot\r\n"
                         "2026/12/07 9:06:03\t2回目\u3000受信エラー\r\n";
const std::string Subject = "ＩＩＳ 障害のお知らせ ｱﾗｰﾄ";

SmtpPeer peer(const std::string& name)
{
    auto found = SmtpPeer::find(name);
    if (!found) {
        ADD_FAILURE() << "no SMTP server " << name << ": run the tests through scripts/test-windows";
        return {};
    }
    return *found;
}

class WinMail : public testing::Test
{
protected:
    CurlMailer mailer(CurlMailer::Options options = {})
    {
        options.report = [this](const std::string& text) { reports.push_back(text); };
        options.connectTimeout = 5s;
        options.totalTimeout = 10s;
        return CurlMailer(std::move(options));
    }
    // Certificates checked as for any server elsewhere, against this CA file alone.
    static CurlMailer::Options verifiedAgainst(const std::string& caFile)
    {
        CurlMailer::Options options;
        options.isLoopback = [](const std::string&) { return false; };
        options.caFile = caFile;
        return options;
    }
    static MailAccount account() { return {"alerts", "s3cret pass"}; }

    std::vector<std::string> reports;
};

TEST_F(WinMail, TheAlertGoesToTheRecipientAndEachCcWithTheTextsExact)
{
    const SmtpPeer server = peer("PLAIN");
    auto m = mailer();
    FormHarness h({.mail = &m});
    Form1& form = h.form;
    const std::string prefix = UniqueMailbox("alert");
    form.txtSMTP.Text = server.address();
    form.txtSendto.Text = prefix + ".to@example.test";
    form.txtCC.Text = prefix + ".cc1@example.test;" + prefix + ".cc2@example.test";
    form.txtFrom.Text = "watch@example.test";
    form.txtSubject.Text = Subject;
    form.errReport = Body;

    SendAlertMail(form);

    const auto mails = server.waitForMailsTo(prefix, 3, 5s);
    ASSERT_EQ(mails.size(), 3U) << testing::PrintToString(reports);
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{prefix + ".to@example.test"});
    EXPECT_EQ(mails[1].recipients, std::vector<std::string>{prefix + ".cc1@example.test"});
    EXPECT_EQ(mails[2].recipients, std::vector<std::string>{prefix + ".cc2@example.test"});
    for (const auto& mail : mails) {
        EXPECT_EQ(mail.subject, Subject);
        EXPECT_EQ(mail.body, Body);
        EXPECT_EQ(mail.mailFrom, "watch@example.test");
        EXPECT_FALSE(mail.overTls);
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(WinMail, TheAccountLogsInToALoopbackServer)
{
    const SmtpPeer server = peer("PLAIN");
    auto m = mailer();
    m.setCredentials(account);
    const std::string to = UniqueMailbox("auth") + "@example.test";
    EXPECT_EQ(m.SendMail(server.address(), to, "watch@example.test", "Alert", Body, ""), "OK");
    const auto mails = server.waitForMailsTo(to, 1, 5s);
    ASSERT_EQ(mails.size(), 1U);
    EXPECT_EQ(mails[0].authenticatedAs, "alerts");
}

TEST_F(WinMail, StartTlsWithATrustedCertificateCarriesTheLogin)
{
    const SmtpPeer server = peer("STARTTLS");
    auto m = mailer(verifiedAgainst(server.certificateFile()));
    m.setCredentials(account);
    const std::string to = UniqueMailbox("starttls") + "@example.test";
    // By name: the certificate is for localhost.
    EXPECT_EQ(m.SendMail(server.address("localhost"), to, "watch@example.test", Subject, Body, ""), "OK");
    const auto mails = server.waitForMailsTo(to, 1, 5s);
    ASSERT_EQ(mails.size(), 1U);
    EXPECT_TRUE(mails[0].overTls);
    EXPECT_EQ(mails[0].authenticatedAs, "alerts");
    EXPECT_EQ(mails[0].body, Body);
    EXPECT_TRUE(reports.empty());
}

TEST_F(WinMail, ImplicitTlsWithATrustedCertificate)
{
    const SmtpPeer server = peer("SMTPS");
    auto m = mailer(verifiedAgainst(server.certificateFile()));
    m.setCredentials(account);
    const std::string to = UniqueMailbox("smtps") + "@example.test";
    EXPECT_EQ(m.SendMail("smtps://" + server.address("localhost"), to, "watch@example.test", "Alert", Body, ""), "OK");
    const auto mails = server.waitForMailsTo(to, 1, 5s);
    ASSERT_EQ(mails.size(), 1U);
    EXPECT_TRUE(mails[0].overTls);
    EXPECT_EQ(mails[0].authenticatedAs, "alerts");
}

TEST_F(WinMail, AnUnknownRootOrAnotherNameIsRefusedAndNothingIsSent)
{
    const SmtpPeer starttls = peer("STARTTLS");
    const SmtpPeer smtps = peer("SMTPS");
    const SmtpPeer wrongName = peer("WRONGNAME");
    const std::string to = UniqueMailbox("refused") + "@example.test";

    // Another server's self-signed certificate is not the root of this one's.
    auto unknownRoot = mailer(verifiedAgainst(smtps.certificateFile()));
    unknownRoot.setCredentials(account);
    const std::string first =
        unknownRoot.SendMail(starttls.address("localhost"), to, "watch@example.test", "Alert", Body, "");
    EXPECT_THAT(first, HasSubstr("failed"));
    // Trusted, but made out for mail.example.test, not for localhost.
    auto otherName = mailer(verifiedAgainst(wrongName.certificateFile()));
    const std::string second =
        otherName.SendMail(wrongName.address("localhost"), to, "watch@example.test", "Alert", Body, "");
    EXPECT_THAT(second, HasSubstr("failed"));

    EXPECT_EQ(reports, (std::vector<std::string>{first, second}));
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(starttls.mailsTo(to).empty());
    EXPECT_TRUE(wrongName.mailsTo(to).empty());
}

TEST_F(WinMail, ARefusedConnectionIsReportedToTheEventLogAndStandardError)
{
    // A port bound but not listening refuses every connection, and no one else can take it meanwhile.
    WSADATA data{};
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    const SOCKET closed = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    ASSERT_EQ(::bind(closed, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(closed, reinterpret_cast<sockaddr*>(&address), &length), 0);

    CurlMailer::Options options;
    options.report = ReportToEventLog;
    options.connectTimeout = 5s;
    CurlMailer m(options);
    const CapturedStderr stderrText;
    const auto start = std::chrono::steady_clock::now();
    const std::string result = m.SendMail("127.0.0.1:" + std::to_string(ntohs(address.sin_port)), "ops@example.test",
                                          "watch@example.test", "Alert", Body, "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_THAT(result, HasSubstr("failed"));
    EXPECT_EQ(stderrText.text(), "sentrybell: " + result + "\n");
    ::closesocket(closed);
    WSACleanup();
}

TEST(WinSystemLog, AReportIsOneLine)
{
    const CapturedStderr stderrText;
    ReportToEventLog("first line\r\nsecond line\nthird");
    EXPECT_EQ(stderrText.text(), "sentrybell: first line  second line third\n");
}

} // namespace
