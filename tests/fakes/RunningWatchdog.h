// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FormHarness.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

// The files, the encoding, the process launcher and the registry of a watchdog in memory: the log and
// the page copy in /srv/watch, iisreset recorded in /opt/sentrybell.
struct FakeDisk
{
    FakeDisk()
    {
        files.addFolder("/srv");
        files.addFolder("/srv/watch");
    }

    std::string programFolder() const { return "/opt/sentrybell"; }
    std::string logPath() const { return "/srv/watch/iiserr.txt"; }
    std::string saveFolder() const { return "/srv/watch"; }
    std::string read(const std::string& path) const
    {
        const auto it = files.files.find(path);
        return it == files.files.end() ? std::string() : it->second;
    }

    FakeFileSystem files;
    FakeEncoding encoding;
    FakeProcessLauncher launcher;
    FakeRegistry registry;
};

// The page and the mail of a watchdog as fakes: the page is there until a test takes it down.
struct FakeNetwork
{
    FakeNetwork() { internet.body = "<html>ok</html>"; }

    FakeInternetClient internet;
    FakeMailLibrary mail;
};

// A Form1 set up as a running watchdog: the fields of the checks filled, the folders present, the tray
// icon shown and the timer running every 30 s. Which adapters are real is the choice of its two parts:
// `Disk` gives the files, the encoding, the process launcher and the registry, and the paths the
// watchdog works in; `Network` gives the page and the mail. The rest are fakes, and the timer follows a
// fake clock, so a test says when each check was due, whatever a fault cost in wall-clock time.
template <class Disk = FakeDisk, class Network = FakeNetwork> struct RunningWatchdog : Disk, Network
{
    static constexpr int IntervalMs = 30000;

    // The arguments, if any, make the network part (the bounds of a real fetch).
    template <class... NetworkArguments>
    explicit RunningWatchdog(NetworkArguments&&... arguments) : Network(std::forward<NetworkArguments>(arguments)...)
    {
        environment.folder = this->programFolder();
        if constexpr (requires { this->connect(form); }) {
            this->connect(form);
        }
        form.txtLog.Text = this->logPath();
        form.txtParaPath.Text = this->saveFolder();
        form.txtTimeout.Text = "1";
        form.txtTimer.Text = std::to_string(IntervalMs / 1000);
        form.txtUrl.Text = "http://127.0.0.1/check.htm";
        form.txtSMTP.Text = "127.0.0.1:2525";
        form.txtSendto.Text = "ops@example.test";
        form.txtFrom.Text = "watch@example.test";
        form.txtAcount.Text = " ";
        form.txtPass.Text = " ";
        form.txtSubject.Text = "web server down";
        form.OptBoot(0).Value = true;
        InstallTraySubclass(form);
        SetTrayIcon(form, form.Caption, TrayMessage::Add);
        form.Timer1.Interval = IntervalMs;
        form.Timer1.Enabled = true;
        form.addObserver([this](Control&, Prop prop) {
            if (prop == Prop::Caption) {
                captions.push_back(form.Caption);
            }
        });
    }

    Form1Services services()
    {
        return {clock,       environment,   this->files,    this->encoding,  messageBox,     tray,
                lifetime,    shell,         this->internet, this->mail,      this->launcher, this->registry,
                fileChooser, folderChooser, report,         PlatformNotice{}};
    }

    std::string copyPath() const { return this->saveFolder() + "/check.htm"; }
    std::string log() const { return this->read(this->logPath()); }
    std::string copy() const { return this->read(copyPath()); }

    // For a fake page only.
    void setServerDown(bool down) { this->internet.failOpen = down; }

    // Runs the check that is due; a failure of the test, and false, when none is.
    bool tick()
    {
        if (timer.fireNext()) {
            return true;
        }
        ADD_FAILURE() << "no check was due";
        return false;
    }

    // The check that is due runs when due, and the next one is due `interval` after it. Returns the
    // time the check ran.
    std::chrono::steady_clock::time_point tickAndExpectNextAfter(std::chrono::milliseconds interval)
    {
        const auto due = timer.dueAt();
        if (!tick()) {
            return {};
        }
        EXPECT_EQ(clock.steadyNow(), *due) << "the check ran when it was due";
        EXPECT_TRUE(form.Timer1.Enabled());
        EXPECT_EQ(timer.dueAt(), clock.steadyNow() + interval);
        return *due;
    }

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

    FakeClock clock;
    FakeEnvironment environment;
    FakeMessageBox messageBox;
    FakeTray tray;
    FakeLifetime lifetime;
    FakeShell shell;
    FakeFileChooser fileChooser;
    FakeFolderChooser folderChooser;
    FakeOperatorReport report;
    Form1 form{services()};
    FakeTimerDriver timer{form, clock};
    std::vector<std::string> captions; // every caption the window showed, in order
};
