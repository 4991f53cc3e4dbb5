// SPDX-License-Identifier: MIT
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
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

struct Outcome
{
    int status = -1;
    std::string systemctl; // the fake systemctl's calls, one per line
    std::string logger;    // the fake logger's calls
    std::string standardError;
};

class IisResetScript : public ::testing::Test
{
protected:
    IisResetScript()
    {
        fs::create_directory(folder.file("bin"));
        WriteFile(folder.file("bin/systemctl"), FakeSystemctl, Executable);
        WriteFile(folder.file("bin/logger"), FakeLogger, Executable);
    }

    static std::string installedScript()
    {
        const char* appDir = std::getenv("SENTRYBELL_APP_DIR");
        return appDir != nullptr ? std::string(appDir) + "/iisreset" : std::string();
    }

    Outcome run(const std::vector<std::string>& arguments, const std::string& units = "",
                const std::string& failStatus = "", std::string script = {})
    {
        if (script.empty()) {
            script = installedScript();
        }
        fs::remove(folder.file("systemctl.log"));
        fs::remove(folder.file("logger.log"));
        std::vector<std::string> environment{"PATH=" + folder.file("bin") + ":/usr/bin:/bin",
                                             "FAKE_LOG_DIR=" + folder.path().string(), "FAKE_UNITS=" + units};
        if (!failStatus.empty()) {
            environment.push_back("FAKE_STATUS=" + failStatus);
        }
        std::vector<char*> envp;
        for (auto& entry : environment) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        std::vector<std::string> args{script};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);

        const std::string errors = folder.file("stderr");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        Outcome outcome;
        pid_t pid = -1;
        const int error = ::posix_spawn(&pid, script.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            ADD_FAILURE() << "cannot run " << script << ": " << error;
            return outcome;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.systemctl = ReadWholeFile(folder.file("systemctl.log"));
        outcome.logger = ReadWholeFile(folder.file("logger.log"));
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

TEST_F(IisResetScript, UnitVariableAtTheTopOverridesTheSearch)
{
    std::string text = ReadWholeFile(installedScript());
    const std::string line = "WEB_SERVER_UNIT=\"\"\n";
    const auto at = text.find(line);
    ASSERT_NE(at, std::string::npos);
    ASSERT_LT(at, text.find("set -u")) << "the variable belongs at the top";
    text.replace(at, line.size(), "WEB_SERVER_UNIT=\"caddy.service\"\n");
    WriteFile(folder.file("iisreset"), text, Executable);

    Outcome stop = run({"/STOP"}, "nginx", "", folder.file("iisreset"));
    EXPECT_EQ(stop.status, 0);
    EXPECT_EQ(stop.systemctl, "stop caddy.service\n");
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
