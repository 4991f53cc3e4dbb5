// SPDX-License-Identifier: MIT
#include "posix/PosixProcessLauncher.h"

#include "fakes/FormHarness.h"
#include "support/Files.h"
#include "support/ProcessCensus.h"
#include "support/TemporaryFolder.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
constexpr auto Executable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;

// The waits of these tests: generous, since they only bound a start that normally takes milliseconds.
template <typename Predicate> bool eventually(Predicate done, std::chrono::milliseconds bound = 10s)
{
    return Eventually(done, bound);
}

// Writes its own path and each argument, one per line, to calls.log beside itself.
const char* RecorderScript = R"(#!/bin/sh
log="$(dirname "$0")/calls.log"
{ printf 'program:%s\n' "$0"; for a in "$@"; do printf 'arg:%s\n' "$a"; done; echo end; } >> "$log"
)";

class ProcessLaunching : public ::testing::Test
{
protected:
    std::vector<std::string> reports;
    PosixProcessLauncher launcher{[this](const std::string& reason) { reports.push_back(reason); }};
};

TEST_F(ProcessLaunching, EachButtonStartsTheScriptWithItsSwitchWhateverTheFolderName)
{
    // A folder name a shell would split and run: the script is started without one.
    TemporaryFolder system("sentrybell system folder; $(touch injected) ");
    WriteFile(system / "iisreset", RecorderScript, Executable);
    FormHarness h({.launcher = &launcher});
    h.environment.folder = system.path();

    const std::string log = system / "calls.log";
    const char* switches[] = {"/RESTART", "/START", "/STOP", "/REBOOT"};
    for (int index = 0; index < 4; ++index) {
        fs::remove(log);
        h.form.IIS_Click(index);
        ASSERT_TRUE(eventually([&] { return ReadWholeFile(log).find("end\n") != std::string::npos; }));
        EXPECT_EQ(ReadWholeFile(log), "program:" + system / "iisreset" + "\narg:" + switches[index] + "\nend\n");
    }
    EXPECT_FALSE(fs::exists("injected"));
    EXPECT_FALSE(fs::exists(system / "injected"));
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProcessLaunching, StartReturnsWhileTheProgramStillRuns)
{
    TemporaryFolder folder;
    const std::string script = folder / "slow";
    WriteFile(script,
              "#!/bin/sh\ncd \"$(dirname \"$0\")\"\ntouch started\n"
              "while [ ! -e release ]; do sleep 0.02; done\ntouch finished\n",
              Executable);

    ASSERT_TRUE(launcher.start(script, {}));
    // The program cannot finish before the test releases it, so a launcher that waited would hang here.
    EXPECT_FALSE(fs::exists(folder / "finished"));
    ASSERT_TRUE(eventually([&] { return fs::exists(folder / "started"); }));
    WriteFile(folder / "release", "", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(eventually([&] { return fs::exists(folder / "finished"); }));
}

TEST_F(ProcessLaunching, ArgumentsArriveWhole)
{
    TemporaryFolder folder;
    WriteFile(folder / "rec", RecorderScript, Executable);
    ASSERT_TRUE(launcher.start(folder / "rec", {"two words", "$(id)", "", "a;b|c"}));
    const std::string log = folder / "calls.log";
    ASSERT_TRUE(eventually([&] { return ReadWholeFile(log).find("end\n") != std::string::npos; }));
    EXPECT_EQ(ReadWholeFile(log), "program:" + folder / "rec" + "\narg:two words\narg:$(id)\narg:\narg:a;b|c\nend\n");
}

TEST_F(ProcessLaunching, ProgramThatCannotRunIsReportedNotFatal)
{
    TemporaryFolder folder;
    WriteFile(folder / "not-executable", RecorderScript, fs::perms::owner_read | fs::perms::owner_write);
    WriteFile(folder / "not-a-program",
              "\x7f"
              "ELF garbage",
              Executable);
    fs::create_directory(folder / "a-folder");

    for (const char* name : {"missing", "not-executable", "not-a-program", "a-folder"}) {
        reports.clear();
        EXPECT_FALSE(launcher.start(folder / name, {"/RESTART"})) << name;
        ASSERT_EQ(reports.size(), 1u) << name;
        EXPECT_NE(reports[0].find(folder / name), std::string::npos) << reports[0];
    }
    EXPECT_EQ(ChildrenOfThisProcess().all, 0);
}

TEST_F(ProcessLaunching, ManyStartsLeaveNoZombieBehind)
{
    TemporaryFolder folder;
    const std::string script = folder / "quick";
    WriteFile(script, "#!/bin/sh\necho done >> \"$(dirname \"$0\")/done.log\"\n", Executable);

    constexpr int starts = 200;
    for (int i = 0; i < starts; ++i) {
        ASSERT_TRUE(launcher.start(script, {"/RESTART"}));
    }
    auto finished = [&] {
        const std::string log = ReadWholeFile(folder / "done.log");
        return std::count(log.begin(), log.end(), '\n') == starts;
    };
    ASSERT_TRUE(eventually(finished, 60s));
    // Every child has ended; each must also have been reaped, without a further start to trigger it.
    EXPECT_TRUE(eventually([] { return ChildrenOfThisProcess().all == 0; }))
        << ChildrenOfThisProcess().zombies << " zombies left";
}

TEST_F(ProcessLaunching, OtherChildrenKeepTheirExitStatus)
{
    // A child of someone else in this process, ended but not yet collected by its owner.
    pid_t other = -1;
    char sh[] = "/bin/sh", dashC[] = "-c", exit7[] = "exit 7";
    char* argv[] = {sh, dashC, exit7, nullptr};
    ASSERT_EQ(::posix_spawn(&other, "/bin/sh", nullptr, nullptr, argv, environ), 0);
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(other), &info, WEXITED | WNOWAIT), 0);

    TemporaryFolder folder;
    WriteFile(folder / "quick", "#!/bin/sh\nexit 0\n", Executable);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(launcher.start(folder / "quick", {}));
    }
    ASSERT_TRUE(eventually([] { return ChildrenOfThisProcess().all == 1; }));

    int status = 0;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

} // namespace
