// SPDX-License-Identifier: MIT
// The real programs watching a real web server, the desktop program and the service alike: the pages
// they fetch, the lines they log, the command they start and the mails they send, as an operator would
// find them.
#include "e2e/InstalledProgram.h"
#include "support/FileSizeLimit.h"
#include "support/LoopbackHttpServer.h"
#include "support/SmtpTestServer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Bounds of the waits: far above what a check takes, so that a loaded machine cannot trip them.
constexpr auto StartAndCheck = 30s;
constexpr auto AlertBound = 40s;

// A page with every byte value, longer than one read of the fetch, with CR, LF and NUL inside.
std::string binaryPage()
{
    std::string page = "<html>alive\r\n";
    for (int i = 0; i < 5000; ++i) {
        page.push_back(static_cast<char>((i * 7) % 256));
    }
    return page;
}

// The date-time text of a log or alert line.
const std::string DateTime = R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2})";

// The log after two refused fetches and the recovery step.
const std::regex TwoFailuresAndRecovery("^" + DateTime + "ＵＲＬ指定エラー\r\n" + DateTime + "ＵＲＬ指定エラー\r\n" +
                                        DateTime + "\t自動 Costom:0\tIIS再起動！！\r\n$");

// The alert text after the first two failures since start-up.
const std::regex FirstAlertBody("^" + DateTime + "\t1回目　ＵＲＬ指定エラー\r\n" + DateTime +
                                "\t2回目　ＵＲＬ指定エラー\r\n$");

void expectAlertMails(const std::vector<SmtpTestServer::Mail>& mails, const std::vector<std::string>& recipients)
{
    ASSERT_EQ(mails.size(), recipients.size());
    for (std::size_t i = 0; i < mails.size(); ++i) {
        SCOPED_TRACE("mail " + std::to_string(i));
        EXPECT_EQ(mails[i].recipients, std::vector<std::string>{recipients[i]});
        EXPECT_EQ(mails[i].mailFrom, AlertSender);
        EXPECT_EQ(mails[i].subject, AlertSubject);
        EXPECT_TRUE(std::regex_match(mails[i].body, FirstAlertBody)) << mails[i].body;
        EXPECT_EQ(mails[i].body, mails[0].body) << "every message of an alert carries the same lines";
    }
}

// The program under test, by the name of its executable.
class Monitoring : public ::testing::TestWithParam<std::string>
{
};

INSTANTIATE_TEST_SUITE_P(, Monitoring, ::testing::Values("sentrybell", "sentrybelld"),
                         [](const ::testing::TestParamInfo<std::string>& program) { return program.param; });

TEST_P(Monitoring, HealthyPageIsCopiedByteForByteAndNothingElseHappens)
{
    LoopbackHttpServer web;
    const std::string page = binaryPage();
    web.setReply(HttpReply::page(200, page));
    SmtpTestServer smtp;
    InstalledProgram program(GetParam());
    program.writeSettings(MonitoringSettings(program, web.url("/check.htm"), smtp.address(), "0", "cc@example.test"));

    ChildProcess& watchdog = program.start();
    ASSERT_TRUE(WaitUntil([&] { return web.requests().size() >= 2; }, StartAndCheck)) << program.standardError();

    EXPECT_EQ(ReadWholeFile(program.file("check.htm")), page);
    const auto request = web.requests().front();
    EXPECT_EQ(request.target, "/check.htm");
    EXPECT_EQ(request.header("User-Agent").value_or(""), "WinInet Test");
    EXPECT_FALSE(std::filesystem::exists(program.file("iiserr.txt"))) << "a good check is not logged";
    EXPECT_TRUE(smtp.mails().empty());
    EXPECT_EQ(program.restartCommands(), "");
    EXPECT_TRUE(watchdog.running());
}

TEST_P(Monitoring, PageDownTwiceRestartsTheWebServerAndMailsTheRecipientAndEachCc)
{
    LoopbackHttpServer web;
    web.setReply(HttpReply::page(200, "<html>alive</html>"));
    web.goDownAfter(1);
    SmtpTestServer smtp;
    InstalledProgram program(GetParam());
    program.writeSettings(
        MonitoringSettings(program, web.url("/check.htm"), smtp.address(), "0", "cc1@example.test;cc2@example.test"));

    ChildProcess& watchdog = program.start();
    ASSERT_TRUE(smtp.waitForMails(3, AlertBound)) << program.standardError();

    EXPECT_EQ(ReadWholeFile(program.file("check.htm")), "<html>alive</html>") << "the refused fetches keep the copy";
    const std::string log = ReadWholeFile(program.file("iiserr.txt"));
    EXPECT_TRUE(std::regex_match(log, TwoFailuresAndRecovery)) << log;
    EXPECT_EQ(program.restartCommands(), "/RESTART\n");
    expectAlertMails(smtp.mails(), {AlertRecipient, "cc1@example.test", "cc2@example.test"});
    EXPECT_TRUE(watchdog.running()) << "the checks go on after an alert";
}

TEST_P(Monitoring, SystemRestartMailsThenRebootsAndEndsAndARestartedProgramWatchesAgain)
{
    auto web = std::make_unique<LoopbackHttpServer>();
    const std::uint16_t port = web->port();
    web->setReply(HttpReply::page(200, "<html>before</html>"));
    web->goDownAfter(1);
    SmtpTestServer smtp;
    InstalledProgram program(GetParam());
    program.writeSettings(MonitoringSettings(program, web->url("/check.htm"), smtp.address(), "1", "cc@example.test"));

    ChildProcess& watchdog = program.start();
    ASSERT_TRUE(WaitUntil([&] { return !program.restartCommands().empty(); }, AlertBound)) << program.standardError();
    // The mail goes out before the reboot command is started: by the time the command arrives, the
    // server has taken every message.
    EXPECT_EQ(smtp.mails().size(), 2U);
    const auto ended = watchdog.waitForExit(StartAndCheck);
    ASSERT_TRUE(ended) << "the program ends by itself after starting the reboot";
    EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 0) << "wait status " << *ended;

    EXPECT_EQ(program.restartCommands(), "/REBOOT\n");
    const std::string log = ReadWholeFile(program.file("iiserr.txt"));
    EXPECT_TRUE(std::regex_match(log, TwoFailuresAndRecovery)) << log;
    expectAlertMails(smtp.mails(), {AlertRecipient, "cc@example.test"});

    // The web server comes back and the program is started again, as the service unit does: it
    // watches from a fresh start, and a good check adds nothing to the log.
    web.reset();
    LoopbackHttpServer back(port);
    back.setReply(HttpReply::page(200, "<html>back again</html>"));
    ChildProcess& restarted = program.start();
    ASSERT_TRUE(
        WaitUntil([&] { return ReadWholeFile(program.file("check.htm")) == "<html>back again</html>"; }, StartAndCheck))
        << program.standardError(1);
    EXPECT_EQ(ReadWholeFile(program.file("iiserr.txt")), log);
    EXPECT_EQ(smtp.mails().size(), 2U);
    EXPECT_TRUE(restarted.running());
}

TEST_P(Monitoring, AStopSignalDuringAnAlertEndsTheProgramOnceTheAlertIsSent)
{
    LoopbackHttpServer web;
    web.setReply(HttpReply::page(200, "<html>alive</html>"));
    web.goDownAfter(1);
    SmtpTestServer smtp;
    // The restart command, started just before the alert, asks the program to stop.
    InstalledProgram program(GetParam(), "kill -TERM $PPID");
    program.writeSettings(MonitoringSettings(program, web.url("/check.htm"), smtp.address(), "0", "cc@example.test"));

    ChildProcess& watchdog = program.start();
    const auto ended = watchdog.waitForExit(AlertBound);
    ASSERT_TRUE(ended) << program.standardError();
    EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 0) << "ended as its window closes; wait status " << *ended;
    EXPECT_EQ(program.restartCommands(), "/RESTART\n");
    const std::string log = ReadWholeFile(program.file("iiserr.txt"));
    EXPECT_TRUE(std::regex_match(log, TwoFailuresAndRecovery)) << log;
    expectAlertMails(smtp.mails(), {AlertRecipient, "cc@example.test"});
}

TEST_P(Monitoring, WritesThatCannotBeMadeEndNothing)
{
    LoopbackHttpServer web;
    web.setReply(HttpReply::page(200, "<html>alive</html>"));
    web.goDownAfter(1);
    SmtpTestServer::Options refusing;
    refusing.rejectRecipient = "refused";
    SmtpTestServer smtp(refusing);
    InstalledProgram program(GetParam());
    program.writeSettings(
        MonitoringSettings(program, web.url("/check.htm"), smtp.address(), "1", "refused@example.test"));
    // The refused CC is reported on standard error: a pipe whose reader has gone, as a closed
    // terminal's. The log may grow to one line: the second is past the file size limit.
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    ::close(ends[0]);
    ChildProcess* started = nullptr;
    {
        const ScopedFileSizeLimit oneLogLine(60);
        ASSERT_TRUE(oneLogLine.set());
        started = &program.start({}, ends[1]);
    }
    ::close(ends[1]);

    const auto ended = started->waitForExit(AlertBound);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 0) << "wait status " << *ended;
    EXPECT_EQ(program.restartCommands(), "/REBOOT\n") << "the reboot follows the alert";
    ASSERT_EQ(smtp.mails().size(), 1U);
    EXPECT_TRUE(std::regex_match(smtp.mails()[0].body, FirstAlertBody)) << smtp.mails()[0].body;
    const std::string log = ReadWholeFile(program.file("iiserr.txt"));
    EXPECT_TRUE(std::regex_match(log, std::regex("^" + DateTime + "ＵＲＬ指定エラー\r\n$")))
        << "whole lines only: " << log;
}

} // namespace
