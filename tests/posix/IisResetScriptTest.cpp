// SPDX-License-Identifier: MIT
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
constexpr auto Executable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;

// Records its arguments; answers "show --property=LoadState --value <unit>" with "loaded" for the
// units named in FAKE_UNITS, and fails the other commands with FAKE_STATUS when it is set.
const char* FakeSystemctl = R"(#!/bin/sh
echo "$*" >> "$FAKE_LOG_DIR/systemctl.log"
if [ "$1" = show ]; then
    for unit in $FAKE_UNITS; do
        [ "$4" = "$unit.service" ] && { echo loaded; exit 0; }
    done
    echo not-found
    exit 0
fi
if [ -n "${FAKE_STATUS:-}" ]; then
    echo "Job for $2 failed because the control process exited with error code." >&2
    exit "$FAKE_STATUS"
fi
)";

const char* FakeLogger = R"(#!/bin/sh
echo "$*" >> "$FAKE_LOG_DIR/logger.log"
)";

// Records its arguments and runs the command after "-n", or refuses as sudo does without a rule
// when FAKE_SUDO_REFUSE is set.
const char* FakeSudo = R"(#!/bin/sh
echo "$*" >> "$FAKE_LOG_DIR/sudo.log"
[ "$1" = -n ] || { echo "fake sudo: expected -n first" >&2; exit 99; }
shift
if [ -n "${FAKE_SUDO_REFUSE:-}" ]; then
    echo "sudo: a password is required" >&2
    exit 1
fi
exec "$@"
)";

// An unprivileged user and group to run the script as an operator would.
constexpr const char* OperatorId = "65534";

struct Outcome
{
    int status = -1;
    std::string systemctl; // the fake systemctl's calls, one per line
    std::string logger;    // the fake logger's calls
    std::string sudo;      // the fake sudo's calls
    std::string standardError;
};

struct RunOptions
{
    std::string units;        // the units the fake systemctl knows
    std::string failStatus;   // systemctl's status for every command but show
    std::string script;       // empty: the script as built
    bool asOperator = false;  // run as an unprivileged user
    bool sudoRefuses = false; // the fake sudo finds no rule
    std::string queue;        // SENTRYBELL_RECOVERY_QUEUE, as the service's unit sets it
};

class IisResetScript : public ::testing::Test
{
protected:
    IisResetScript()
    {
        fs::create_directory(folder / "bin");
        WriteFile(folder / "bin/systemctl", FakeSystemctl,
                  Executable | fs::perms::others_read | fs::perms::others_exec);
        WriteFile(folder / "bin/logger", FakeLogger, Executable | fs::perms::others_read | fs::perms::others_exec);
        WriteFile(folder / "bin/sudo", FakeSudo, Executable | fs::perms::others_read | fs::perms::others_exec);
        // The script as built, copied where the operator can reach it: the build tree may lie in a
        // folder that only its owner may enter (a clone in a mktemp -d folder, or under /root).
        fs::create_directory(folder / "built");
        if (!installedScript().empty()) {
            WriteFile(folder / "built/iisreset", ReadWholeFile(installedScript()),
                      Executable | fs::perms::others_read | fs::perms::others_exec);
        }
        // The operator's runs reach the fakes and leave their records here too.
        fs::permissions(folder.path(), fs::perms::all | fs::perms::sticky_bit);
    }

    static std::string installedScript()
    {
        const char* appDir = std::getenv("SENTRYBELL_APP_DIR");
        return appDir != nullptr ? std::string(appDir) + "/iisreset" : std::string();
    }

    Outcome run(const std::vector<std::string>& arguments, const std::string& units = "",
                const std::string& failStatus = "", std::string script = {})
    {
        RunOptions options;
        options.units = units;
        options.failStatus = failStatus;
        options.script = std::move(script);
        return run(arguments, std::move(options));
    }

    Outcome run(const std::vector<std::string>& arguments, RunOptions options)
    {
        std::string script = options.script.empty() ? folder / "built/iisreset" : options.script;
        for (const char* record : {"systemctl.log", "logger.log", "sudo.log"}) {
            fs::remove(folder / record);
        }
        std::vector<std::string> environment{"PATH=" + folder / "bin" + ":/usr/bin:/bin",
                                             "FAKE_LOG_DIR=" + folder.path(), "FAKE_UNITS=" + options.units};
        if (!options.failStatus.empty()) {
            environment.push_back("FAKE_STATUS=" + options.failStatus);
        }
        if (options.sudoRefuses) {
            environment.push_back("FAKE_SUDO_REFUSE=1");
        }
        if (!options.queue.empty()) {
            environment.push_back("SENTRYBELL_RECOVERY_QUEUE=" + options.queue);
        }
        std::vector<char*> envp;
        for (auto& entry : environment) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        std::vector<std::string> args{script};
        if (options.asOperator) {
            args = {"/usr/bin/setpriv", std::string("--reuid=") + OperatorId, std::string("--regid=") + OperatorId,
                    "--clear-groups", script};
        }
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);

        const std::string errors = folder / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        Outcome outcome;
        pid_t pid = -1;
        const int error = ::posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            ADD_FAILURE() << "cannot run " << script << ": " << error;
            return outcome;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.systemctl = ReadWholeFile(folder / "systemctl.log");
        outcome.logger = ReadWholeFile(folder / "logger.log");
        outcome.sudo = ReadWholeFile(folder / "sudo.log");
        outcome.standardError = ReadWholeFile(errors);
        return outcome;
    }

    TemporaryFolder folder{"sentrybell iisreset"};
};

TEST_F(IisResetScript, IsInstalledExecutableBesideTheProgram)
{
    const std::string script = installedScript();
    ASSERT_FALSE(script.empty()) << "SENTRYBELL_APP_DIR is not set";
    ASSERT_TRUE(fs::exists(script));
    EXPECT_NE(fs::status(script).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_NE(fs::status(script).permissions() & fs::perms::others_exec, fs::perms::none);
}

TEST_F(IisResetScript, SwitchesDriveTheFirstWebServerUnitPresent)
{
    const std::string shows = "show --property=LoadState --value nginx.service\n"
                              "show --property=LoadState --value apache2.service\n";
    Outcome restart = run({"/RESTART"}, "apache2 lighttpd");
    EXPECT_EQ(restart.status, 0);
    EXPECT_EQ(restart.systemctl, shows + "restart apache2.service\n");
    EXPECT_EQ(restart.logger, "");

    EXPECT_EQ(run({"/START"}, "apache2 lighttpd").systemctl, shows + "start apache2.service\n");
    EXPECT_EQ(run({"/STOP"}, "apache2 lighttpd").systemctl, shows + "stop apache2.service\n");
    EXPECT_EQ(run({"/RESTART"}, "nginx apache2").systemctl,
              "show --property=LoadState --value nginx.service\nrestart nginx.service\n");
    const std::string lowerCase = run({"/restart"}, "lighttpd").systemctl;
    EXPECT_TRUE(lowerCase.ends_with("\nrestart lighttpd.service\n")) << lowerCase;
}

TEST_F(IisResetScript, RebootRebootsTheMachine)
{
    Outcome reboot = run({"/REBOOT"});
    EXPECT_EQ(reboot.status, 0);
    EXPECT_EQ(reboot.systemctl, "reboot\n");
}

TEST(ServiceUnit, TheRebootTheProgramStartedOutlivesIt)
{
    // The program ends right after starting "iisreset /REBOOT"; with systemd's default kill mode the
    // rest of the unit, the reboot included, was killed with it, and the unit came back 10 s later.
    std::istringstream unit(ReadWholeFile(std::string(SENTRYBELL_SOURCE_DIR) + "/data/sentrybell.service.in"));
    std::string section;
    std::vector<std::string> killModes;
    for (std::string line; std::getline(unit, line);) {
        if (line.starts_with("[")) {
            section = line;
        } else if (line.starts_with("KillMode=")) {
            killModes.push_back(section + line);
        }
    }
    EXPECT_EQ(killModes, std::vector<std::string>{"[Service]KillMode=process"});
}

TEST_F(IisResetScript, RootRunsSystemctlItself)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root";
    }
    Outcome restart = run({"/RESTART"}, "nginx");
    EXPECT_EQ(restart.status, 0);
    EXPECT_EQ(restart.sudo, "");
    EXPECT_EQ(run({"/REBOOT"}).sudo, "");
}

TEST_F(IisResetScript, AnOperatorGoesThroughSudoWithoutEverBeingAsked)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the script as another user";
    }
    RunOptions asOperator;
    asOperator.units = "nginx";
    asOperator.asOperator = true;
    Outcome restart = run({"/RESTART"}, asOperator);
    EXPECT_EQ(restart.status, 0) << restart.standardError;
    // Looking the unit up changes nothing and needs no rights; only the restart goes through sudo.
    EXPECT_EQ(restart.sudo, "-n systemctl restart nginx.service\n");
    EXPECT_EQ(restart.systemctl, "show --property=LoadState --value nginx.service\nrestart nginx.service\n");
    EXPECT_EQ(run({"/START"}, asOperator).sudo, "-n systemctl start nginx.service\n");
    EXPECT_EQ(run({"/STOP"}, asOperator).sudo, "-n systemctl stop nginx.service\n");
    EXPECT_EQ(run({"/REBOOT"}, asOperator).sudo, "-n systemctl reboot\n");
}

TEST_F(IisResetScript, TheSandboxedServiceLeavesItsSwitchesToRootWhoCarriesThemOutOnce)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the script as another user";
    }
    // sudo cannot run in the service's sandbox: the service's user only leaves the switch.
    const std::string queue = folder / "queue";
    fs::create_directory(queue);
    fs::permissions(queue, fs::perms::all);
    WriteFile(queue + "/notes", "not a switch", fs::perms(0644));
    RunOptions service;
    service.units = "nginx";
    service.asOperator = true;
    service.queue = queue;
    for (const char* asked : {"/reboot", "/RESTART", "/RESTART"}) {
        const Outcome left = run({asked}, service);
        EXPECT_EQ(left.status, 0) << left.standardError;
        EXPECT_EQ(left.sudo + left.systemctl, "") << "nothing is run in the sandbox";
    }

    // sentrybell-recovery.service: each switch once, the reboot last; nothing else in the folder.
    RunOptions recovery;
    recovery.units = "nginx";
    const Outcome carried = run({"--queued", queue}, recovery);
    EXPECT_EQ(carried.status, 0) << carried.standardError;
    EXPECT_EQ(carried.systemctl, "show --property=LoadState --value nginx.service\nrestart nginx.service\nreboot\n");
    EXPECT_FALSE(fs::exists(queue + "/RESTART") || fs::exists(queue + "/REBOOT"));
    EXPECT_EQ(ReadWholeFile(queue + "/notes"), "not a switch");
    EXPECT_EQ(run({"--queued", queue}, recovery).systemctl, "") << "taken once";

    // Only root carries switches out.
    service.queue.clear();
    EXPECT_EQ(run({"--queued", queue}, service).status, 2);
}

TEST_F(IisResetScript, ARefusedSudoIsLoggedAndReturned)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the script as another user";
    }
    RunOptions refused;
    refused.units = "nginx";
    refused.asOperator = true;
    refused.sudoRefuses = true;
    Outcome restart = run({"/RESTART"}, refused);
    EXPECT_EQ(restart.status, 1);
    EXPECT_EQ(restart.systemctl, "show --property=LoadState --value nginx.service\n") << "nothing was restarted";
    EXPECT_NE(restart.logger.find("systemctl restart nginx.service failed with status 1: sudo: a password is required"),
              std::string::npos)
        << restart.logger;
}

TEST_F(IisResetScript, UnitVariableAtTheTopOverridesTheSearch)
{
    std::string text = ReadWholeFile(installedScript());
    const std::string line = "WEB_SERVER_UNIT=\"\"\n";
    const auto at = text.find(line);
    ASSERT_NE(at, std::string::npos);
    ASSERT_LT(at, text.find("set -u")) << "the variable belongs at the top";
    text.replace(at, line.size(), "WEB_SERVER_UNIT=\"caddy.service\"\n");
    WriteFile(folder / "iisreset", text, Executable);

    Outcome stop = run({"/STOP"}, "nginx", "", folder / "iisreset");
    EXPECT_EQ(stop.status, 0);
    EXPECT_EQ(stop.systemctl, "stop caddy.service\n");

    // A bare name is completed, so that it reads as a sudoers rule spells the unit.
    text.replace(text.find("caddy.service"), 13, "caddy");
    WriteFile(folder / "iisreset", text, Executable);
    EXPECT_EQ(run({"/STOP"}, "nginx", "", folder / "iisreset").systemctl, "stop caddy.service\n");
}

TEST_F(IisResetScript, WrongSwitchPrintsUsageAndFailsWithoutTouchingServices)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"/FOO"}, {}, {"/RESTART", "/STOP"}, {"RESTART"}, {"/RESTART;reboot"}}) {
        Outcome wrong = run(arguments, "nginx");
        EXPECT_NE(wrong.status, 0);
        EXPECT_NE(wrong.standardError.find("usage: iisreset /RESTART | /START | /STOP | /REBOOT"), std::string::npos)
            << wrong.standardError;
        EXPECT_EQ(wrong.systemctl, "");
        EXPECT_NE(wrong.logger.find("-t sentrybell"), std::string::npos);
    }
}

TEST_F(IisResetScript, FailingSystemctlIsLoggedAndReturned)
{
    Outcome failed = run({"/RESTART"}, "nginx", "5");
    EXPECT_EQ(failed.status, 5);
    EXPECT_NE(failed.logger.find("-t sentrybell"), std::string::npos);
    EXPECT_NE(failed.logger.find("systemctl restart nginx.service failed with status 5: Job for nginx.service failed"),
              std::string::npos)
        << failed.logger;
    EXPECT_EQ(std::count(failed.logger.begin(), failed.logger.end(), '\n'), 1) << "one log line per failure";

    Outcome reboot = run({"/REBOOT"}, "", "1");
    EXPECT_EQ(reboot.status, 1);
    EXPECT_NE(reboot.logger.find("systemctl reboot failed with status 1"), std::string::npos);
}

TEST_F(IisResetScript, NoWebServerUnitIsLoggedAndFails)
{
    Outcome none = run({"/START"}, "");
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(none.systemctl.find("start "), std::string::npos);
    EXPECT_NE(none.logger.find("no web server unit found"), std::string::npos);
}

} // namespace
