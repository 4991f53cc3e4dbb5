// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FormHarness.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

#include <string>
#include <vector>

// A form set up as a running watchdog over fakes: every field filled, the folders present, the tray
// icon shown and the timer running every 30 s. The fetch fails or succeeds as `serverDown` says.
struct MonitoredForm
{
    FormHarness h;
    Form1& f = h.form;
    std::vector<std::string> captions; // every caption the window showed, in order

    static constexpr const char* LogPath = "/srv/watch/iiserr.txt";

    MonitoredForm()
    {
        h.files.addFolder("/srv");
        h.files.addFolder("/srv/watch");
        f.txtLog.Text = LogPath;
        f.txtParaPath.Text = "/srv/watch";
        f.txtTimeout.Text = "5";
        f.txtTimer.Text = "30";
        f.txtUrl.Text = "http://127.0.0.1/check.htm";
        f.txtSendto.Text = "ops@example.test";
        f.txtCC.Text = "cc1@example.test;cc2@example.test";
        f.txtFrom.Text = "watch@example.test";
        f.txtSMTP.Text = "127.0.0.1:2525";
        f.txtSubject.Text = "web server down";
        f.OptBoot(0).Value = true;
        h.internet.body = "<html>ok</html>";
        InstallTraySubclass(f);
        SetTrayIcon(f, f.Caption, TrayMessage::Add);
        f.Timer1.Interval = 30000;
        f.Timer1.Enabled = true;
        f.addObserver([this](Control&, Prop prop) {
            if (prop == Prop::Caption) {
                captions.push_back(f.Caption);
            }
        });
    }

    void setServerDown(bool down) { h.internet.failOpen = down; }
    std::string log() const
    {
        auto it = h.files.files.find(LogPath);
        return it == h.files.files.end() ? std::string() : it->second;
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
};
