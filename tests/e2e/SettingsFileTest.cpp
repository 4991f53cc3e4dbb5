// SPDX-License-Identifier: MIT
// What the real program does to the settings file and the install folder when nobody saves.
#include "e2e/InstalledProgram.h"
#include "support/LoopbackHttpServer.h"
#include "support/SmtpTestServer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto StartBound = 30s;
// Longer than the window's design-time timer interval (5 s): a timer that start-up failed to stop
// would have ticked by then.
constexpr auto DesignTimeTickAndMargin = 6s;

TEST(SettingsFile, WithoutOneNothingIsCreatedAndNothingIsChecked)
{
    InstalledProgram program;
    const auto before = program.entries();

    ChildProcess& watchdog = program.start();
    ASSERT_TRUE(WaitUntil([&] { return program.standardError().find("SETTING.ini") != std::string::npos; }, StartBound))
        << program.standardError();
    EXPECT_NE(program.standardError().find("the checks stay off until the settings are saved"), std::string::npos)
        << program.standardError();
    std::this_thread::sleep_for(DesignTimeTickAndMargin);

    auto after = program.entries();
    EXPECT_EQ(after.erase(".sentrybell.lock"), 1U) << "the one-instance lock is the only new entry";
    EXPECT_EQ(after, before);
    EXPECT_EQ(program.restartCommands(), "");
    EXPECT_TRUE(watchdog.running());
}

TEST(SettingsFile, RunWithoutASaveLeavesItByteForByte)
{
    LoopbackHttpServer web;
    web.setReply(HttpReply::page(200, "ok"));
    SmtpTestServer smtp;
    InstalledProgram program;
    // Written by hand the way operators do: CR LF, a comment, blank lines, names in any case, quoted
    // and padded values, a key the program does not know, the sections in the other order and no
    // line end after the last line.
    const std::string settings = "; Sentrybell for www\r\n"
                                 "[setting]\r\n"
                                 "LogPath = " +
                                 program.file("iiserr.txt") +
                                 "\r\n"
                                 "SAVEFOLDER=\"" +
                                 program.folder() +
                                 "\"\r\n"
                                 "TIMEOUT=2\r\n"
                                 "TIMER=1\r\n"
                                 "URL=" +
                                 web.url("/") +
                                 "\r\n"
                                 "LOGIN=0\r\n"
                                 "ID=operator\r\n"
                                 "LOGINPASS='p w'\r\n"
                                 "COLOUR=blue\r\n"
                                 "\r\n"
                                 "[Mail]\r\n"
                                 "ADDRESS=watch@example.test\r\n"
                                 "MAILID=\" \"\r\n"
                                 "PASSWORD=\" \"\r\n"
                                 "SMTP=" +
                                 smtp.address() +
                                 "\r\n"
                                 "SUBJECT=down\r\n"
                                 "SEND=ops@example.test\r\n"
                                 "CC=\" \"";
    program.writeSettings(settings);
    struct stat written
    {
    };
    ASSERT_EQ(::stat(program.file("SETTING.ini").c_str(), &written), 0);

    ChildProcess& watchdog = program.start();
    ASSERT_TRUE(WaitUntil([&] { return web.requests().size() >= 2; }, StartBound)) << program.standardError();
    watchdog.stop();

    EXPECT_EQ(ReadWholeFile(program.file("SETTING.ini")), settings);
    struct stat after
    {
    };
    ASSERT_EQ(::stat(program.file("SETTING.ini").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, written.st_ino) << "the file was not replaced";
    EXPECT_EQ(after.st_mode, written.st_mode);
    // The program is stopped from outside, possibly in the middle of a check: that leaves at most the
    // copy's one temporary, by design, and nothing else.
    std::set<std::string> entries = program.entries();
    entries.erase("check.htm.part");
    EXPECT_EQ(entries,
              (std::set<std::string>{".sentrybell.lock", "SETTING.ini", "check.htm", "iisreset", "sentrybell"}));
}

} // namespace
