// SPDX-License-Identifier: MIT
// Starts that must not go on end at once and say why: a second watchdog of the same install folder,
// one that cannot take the folder's lock, and a root run with settings that others can change.
#include "e2e/InstalledProgram.h"
#include "e2e/VirtualDisplay.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr auto StartBound = 30s;
const std::string AlreadyRunning = "already running from ";

bool endedWith(const std::optional<int>& status, int code)
{
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code;
}

TEST(SingleInstance, SecondStartWithoutADisplayEndsWithAMessageOnStandardError)
{
    InstalledProgram program;
    ChildProcess& first = program.start();
    ASSERT_TRUE(
        WaitUntil([&] { return program.standardError(0).find("SETTING.ini") != std::string::npos; }, StartBound))
        << program.standardError(0);

    ChildProcess& second = program.start();
    const auto status = second.waitForExit(StartBound);
    EXPECT_TRUE(endedWith(status, 1)) << "wait status " << status.value_or(-1);
    EXPECT_NE(program.standardError(1).find(AlreadyRunning + program.folder()), std::string::npos)
        << program.standardError(1);
    EXPECT_EQ(program.standardError(1).find("SETTING.ini"), std::string::npos) << "it ends before start-up";
    EXPECT_TRUE(first.running());

    // Once the first has gone, the folder is free for a new one.
    first.stop();
    ChildProcess& third = program.start();
    ASSERT_TRUE(
        WaitUntil([&] { return program.standardError(2).find("SETTING.ini") != std::string::npos; }, StartBound))
        << program.standardError(2);
    EXPECT_TRUE(third.running());
}

TEST(SingleInstance, SecondStartOnADisplayAlsoSaysSoInAMessageBox)
{
    VirtualDisplay display;
    InstalledProgram program;
    ChildProcess& first = program.start(display.environment());
    ASSERT_TRUE(WaitUntil([&] { return !display.windowsOf(first.pid(), true).empty(); }, StartBound))
        << program.standardError(0);

    ChildProcess& second = program.start(display.environment());
    std::vector<unsigned long> box;
    ASSERT_TRUE(WaitUntil(
        [&] {
            box = display.windowsOf(second.pid(), true);
            return !box.empty();
        },
        StartBound))
        << program.standardError(1);
    EXPECT_NE(program.standardError(1).find(AlreadyRunning), std::string::npos) << program.standardError(1);
    const WindowFacts facts = display.facts(box.front());
    EXPECT_LT(facts.width, 672) << "a message box, not a second main window";
    EXPECT_TRUE(second.running()) << "the box waits for the operator";

    display.pressKey(box.front(), "Return");
    EXPECT_TRUE(endedWith(second.waitForExit(StartBound), 1));
    EXPECT_TRUE(first.running());
}

TEST(SingleInstance, AStartThatCannotTakeTheLockEndsRatherThanRunUnguarded)
{
    InstalledProgram program;
    program.writeSettings("[SETTING]\n");
    // A link planted where the lock file belongs.
    const std::string victim = program.folder() + "-victim";
    WriteFile(victim, "kept", std::filesystem::perms(0600));
    std::filesystem::create_symlink(victim, program.file(".sentrybell.lock"));

    ChildProcess& refused = program.start();
    EXPECT_TRUE(endedWith(refused.waitForExit(StartBound), 1));
    const std::string why = program.standardError(0);
    EXPECT_NE(
        why.find("cannot make or take the lock \"" + program.file(".sentrybell.lock") + "\": it is a symbolic link"),
        std::string::npos)
        << why;
    EXPECT_EQ(ReadWholeFile(victim), "kept");
}

TEST(SingleInstance, RootRefusesSettingsThatOthersCanChange)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "the rule holds for root only";
    }
    InstalledProgram program;
    program.writeSettings("[SETTING]\n");
    // The shared install's folder, writable by the operators' group.
    std::filesystem::permissions(program.folder(), std::filesystem::perms(0775));

    ChildProcess& refused = program.start();
    EXPECT_TRUE(endedWith(refused.waitForExit(StartBound), 1));
    const std::string why = program.standardError(0);
    EXPECT_NE(why.find("refusing to run as root"), std::string::npos) << why;
    EXPECT_NE(why.find(program.file("SETTING.ini")), std::string::npos) << why;
    EXPECT_EQ(program.entries(), (std::set<std::string>{"SETTING.ini", "iisreset", "sentrybell"}))
        << "it ends before anything is made";
}

} // namespace
