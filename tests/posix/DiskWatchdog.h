// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FormHarness.h"
#include "monitor/StatusTexts.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixProcessLauncher.h"
#include "posix/Utf8Encoding.h"
#include "shell/TrayIcon.h"
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// A running watchdog whose files and commands are real: the log, the page copy and the settings are
// files in a folder of its own, and iisreset is a real program started from that folder (none until
// a test writes one). The page and the mail are fakes, and the timer follows a fake clock, so a test
// says when each check was due.
struct DiskWatchdog
{
    static constexpr int IntervalMs = 30000;

    DiskWatchdog()
    {
        std::filesystem::create_directory(logFolder());
        std::filesystem::create_directory(saveFolder());
        environment.folder = folder.path();
        services().internet = &internet;
        services().mail = &mail;
        services().launcher = &launcher;
        services().registry = &registry;
        internet.body = "<html>ok</html>";

        form.txtLog.Text = logPath();
        form.txtParaPath.Text = saveFolder();
        form.txtTimeout.Text = "5";
        form.txtTimer.Text = std::to_string(IntervalMs / 1000);
        form.txtUrl.Text = "http://127.0.0.1/check.htm";
        form.txtSMTP.Text = "127.0.0.1:2525";
        form.txtSendto.Text = "ops@example.test";
        form.txtFrom.Text = "watch@example.test";
        form.txtSubject.Text = "web server down";
        form.OptBoot(0).Value = true;
        InstallTraySubclass(form);
        SetTrayIcon(form, form.Caption, NIM_ADD);
        form.Timer1.Interval = IntervalMs;
        form.Timer1.Enabled = true;
    }

    Form1Services& services() { return form.services(); }
    std::string logFolder() const { return folder / "log"; }
    std::string logPath() const { return logFolder() + "/iiserr.txt"; }
    std::string saveFolder() const { return folder / "save"; }
    std::string copyPath() const { return saveFolder() + "/check.htm"; }

    void setServerDown(bool down) { internet.failOpen = down; }

    // The lines of a text whose lines end with CR LF.
    static std::vector<std::string> lines(const std::string& text)
    {
        std::vector<std::string> result;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            result.push_back(text.substr(start, end - start));
        }
        return result;
    }

    // The check that is due runs, and the next one is due `interval` after it, by the fake clock.
    // Returns the time the check ran.
    std::chrono::steady_clock::time_point tickAndExpectNextAfter(std::chrono::milliseconds interval)
    {
        const auto due = timer.dueAt();
        if (!due || !timer.fireNext()) {
            ADD_FAILURE() << "no check was due";
            return {};
        }
        EXPECT_EQ(clock.steadyNow(), *due) << "the check ran when it was due";
        EXPECT_TRUE(form.Timer1.Enabled());
        EXPECT_EQ(timer.dueAt(), clock.steadyNow() + interval);
        return *due;
    }

    TemporaryFolder folder{"sentrybell disk watchdog"};
    std::vector<std::string> launchReports;

    FakeClock clock;
    FakeEnvironment environment;
    PosixFileSystem files;
    Utf8Encoding encoding;
    FakeMessageBox messageBox;
    FakeTray tray;
    FakeLifetime lifetime;
    FakeInternetClient internet;
    FakeMailLibrary mail;
    FakeRegistry registry;
    PosixProcessLauncher launcher{[this](const std::string& text) { launchReports.push_back(text); }};
    Form1 form{Form1Services{clock, environment, files, encoding, messageBox, tray, lifetime}};
    FakeTimerDriver timer{form, clock};
};
