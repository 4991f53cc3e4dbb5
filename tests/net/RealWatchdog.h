// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FormHarness.h"
#include "monitor/StatusTexts.h"
#include "net/CurlInternetClient.h"
#include "net/CurlMailer.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixProcessLauncher.h"
#include "posix/Utf8Encoding.h"
#include "shell/TrayIcon.h"
#include "support/Files.h"
#include "support/ProxyFreeEnvironment.h"
#include "support/TemporaryFolder.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// A running watchdog over the real adapters: libcurl fetches the page and sends the mail, the log and
// the page copy are real files in a folder of its own, and a recorder script stands in for iisreset
// and is really started. Only the timer is not real: it follows a fake clock, so a test says when
// each check was due without waiting for it, whatever a fault cost in wall-clock time.
struct RealWatchdog
{
    static constexpr int IntervalMs = 30000;

    explicit RealWatchdog(CurlFetchLimits limits = {}) : internet(limits)
    {
        std::filesystem::create_directory(logFolder());
        std::filesystem::create_directory(saveFolder());
        WriteFile(folder / "iisreset", "#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/iisreset.calls\"\n",
                  std::filesystem::perms(0755));
        environment.folder = folder.path();
        services().internet = &internet;
        services().mail = &mailer;
        services().launcher = &launcher;
        mailer.setCredentials([this] { return MailAccount{form.txtAcount.Text, form.txtPass.Text}; });

        form.txtLog.Text = logFolder() + "/iiserr.txt";
        form.txtParaPath.Text = saveFolder();
        form.txtTimeout.Text = "1";
        form.txtTimer.Text = std::to_string(IntervalMs / 1000);
        form.txtSendto.Text = "ops@example.test";
        form.txtFrom.Text = "watch@example.test";
        form.txtSubject.Text = "web server down";
        form.txtAcount.Text = " ";
        form.txtPass.Text = " ";
        form.OptBoot(0).Value = true;
        InstallTraySubclass(form);
        SetTrayIcon(form, form.Caption, NIM_ADD);
        form.Timer1.Interval = IntervalMs;
        form.Timer1.Enabled = true;
    }

    Form1Services& services() { return form.services(); }
    std::string logFolder() const { return folder / "log"; }
    std::string saveFolder() const { return folder / "save"; }
    std::string copyPath() const { return saveFolder() + "/check.htm"; }
    std::string copy() const { return ReadWholeFile(copyPath()); }
    std::string log() const { return ReadWholeFile(form.txtLog.Text); }
    std::string iisresetCalls() const { return ReadWholeFile(folder / "iisreset.calls"); }

    // Runs the tick that is due; false when none is.
    bool tick() { return timer.fireNext(); }

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

    ProxyFreeEnvironment noProxy;
    TemporaryFolder folder{"sentrybell watchdog"};
    std::vector<std::string> mailReports;
    std::vector<std::string> launchReports;

    FakeClock clock;
    FakeEnvironment environment;
    PosixFileSystem files;
    Utf8Encoding encoding;
    FakeMessageBox messageBox;
    FakeTray tray;
    FakeLifetime lifetime;
    CurlInternetClient internet;
    CurlMailer mailer{[this] {
        CurlMailer::Options options;
        options.connectTimeout = std::chrono::seconds(2);
        options.totalTimeout = std::chrono::seconds(2);
        options.report = [this](const std::string& text) { mailReports.push_back(text); };
        return options;
    }()};
    PosixProcessLauncher launcher{[this](const std::string& text) { launchReports.push_back(text); }};
    Form1 form{Form1Services{clock, environment, files, encoding, messageBox, tray, lifetime}};
    FakeTimerDriver timer{form, clock};
};
