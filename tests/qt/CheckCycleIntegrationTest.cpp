// SPDX-License-Identifier: MIT
// The check cycle over the real adapters, driven by the window's real timer: a loopback web server
// that is taken down mid-run, a recorder in place of iisreset, and aiosmtpd receiving the alert.
#include "fakes/FakePlatform.h"
#include "fakes/FakeUi.h"
#include "fakes/FormHarness.h"
#include "net/CurlInternetClient.h"
#include "net/CurlMailer.h"
#include "posix/PosixClock.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixProcessLauncher.h"
#include "posix/Utf8Encoding.h"
#include "qt/AppIcon.h"
#include "qt/MainWindow.h"
#include "qt/QtServices.h"
#include "qt/QtTestApplication.h"
#include "qt/QtTray.h"
#include "support/Files.h"
#include "support/LoopbackHttpServer.h"
#include "support/SmtpTestServer.h"
#include "support/TemporaryFolder.h"

#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

std::size_t countOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

TEST(CheckCycleIntegration, PageDownTwiceRestartsTheServerAndMailsEveryRecipient)
{
    TestApplication();
    TemporaryFolder folder("sentrybell cycle");
    const std::string calls = folder / "iisreset.calls";
    WriteFile(folder / "iisreset", "#!/bin/sh\necho \"$@\" >> '" + calls + "'\n", std::filesystem::perms(0755));

    LoopbackHttpServer web;
    web.setReply(HttpReply::page(200, "<html>alive</html>"));
    SmtpTestServer smtp;

    FakePorts fakes;
    fakes.environment.folder = folder.path();
    PosixClock clock;
    PosixFileSystem files;
    Utf8Encoding encoding;
    QtTray tray(AppIcon());
    CurlInternetClient internet;
    CurlMailer::Options mailOptions;
    mailOptions.connectTimeout = std::chrono::seconds(2);
    mailOptions.totalTimeout = std::chrono::seconds(5);
    CurlMailer mail(mailOptions);
    PosixProcessLauncher launcher;

    Form1 form(fakes.services({.clock = &clock,
                               .files = &files,
                               .encoding = &encoding,
                               .tray = &tray,
                               .internet = &internet,
                               .mail = &mail,
                               .launcher = &launcher}));
    MainWindow window(form, tray);

    form.txtUrl.Text = web.url("/check.htm");
    form.txtTimeout.Text = "2";
    form.txtTimer.Text = "1";
    form.txtLog.Text = folder / "iiserr.txt";
    form.txtParaPath.Text = folder.path();
    form.txtSMTP.Text = smtp.address();
    form.txtSendto.Text = "ops@example.test";
    form.txtCC.Text = "cc@example.test";
    form.txtFrom.Text = "watch@example.test";
    form.txtSubject.Text = "web server down";
    form.OptBoot(0).Value = true;
    form.Timer1.Interval = 1000;
    form.Timer1.Enabled = true;

    const std::string copy = folder / "check.htm";
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(copy); }, 10000)) << "a first check ran";
    EXPECT_EQ(ReadWholeFile(copy), "<html>alive</html>");
    EXPECT_NE(form.Caption().find("正常読み込み済み"), std::string::npos);

    web.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return smtp.mails().size() >= 2; }, 20000)) << "the alert arrived";

    EXPECT_EQ(ReadWholeFile(calls), "/RESTART\n");
    const std::string log = ReadWholeFile(folder / "iiserr.txt");
    EXPECT_EQ(countOf(log, "ＵＲＬ指定エラー\r\n"), 2U) << log;
    EXPECT_EQ(countOf(log, "\t自動 Costom:0\tIIS再起動！！\r\n"), 1U) << log;
    const auto mails = smtp.mails();
    ASSERT_EQ(mails.size(), 2U);
    EXPECT_EQ(mails[0].recipients, std::vector<std::string>{"ops@example.test"});
    EXPECT_EQ(mails[1].recipients, std::vector<std::string>{"cc@example.test"});
    for (const auto& received : mails) {
        EXPECT_EQ(received.body, form.errReport);
        EXPECT_EQ(countOf(received.body, "回目　ＵＲＬ指定エラー\r\n"), 2U);
    }
    EXPECT_EQ(form.Timer1.Interval(), 40000);
    EXPECT_TRUE(form.Timer1.Enabled());
    EXPECT_FALSE(tray.isShown());
    EXPECT_EQ(fakes.lifetime.endings, 0);
}

} // namespace
