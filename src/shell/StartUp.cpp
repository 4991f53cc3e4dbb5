// SPDX-License-Identifier: MIT
#include "common/FileSystem.h"
#include "config/AutoLogon.h"
#include "config/SettingsComplete.h"
#include "config/SettingsFile.h"
#include "monitor/IntervalRule.h"
#include "shell/Form1.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

// A stored number: ASCII digits only, within a signed 32-bit number. Anything else (the empty text
// included) is not one.
std::optional<std::int32_t> wholeNumber(const std::string& text)
{
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// A stored check-box state: "1" checks the box; any other text leaves it unchecked.
int checkState(const std::string& text)
{
    return wholeNumber(text) == 1 ? 1 : 0;
}

} // namespace

void Form1::Form_Load()
{
    auto& s = services();
    errCount = 0;
    IniPath = SettingsFilePath(s.environment);

    if (!s.files.fileExists(IniPath)) {
        // Nothing configured yet. The file is created by the first save, not here.
        for (TextBox* box : {&txtAcount, &txtCC, &txtFrom, &txtLog, &txtParaPath, &txtPass, &txtSendto, &txtSMTP,
                             &txtSubject, &txtTimeout, &txtUrl, &txtTimer}) {
            box->Text = "";
        }
        Timer1.Enabled = false;
        手動チェック.Enabled = false;
        Command5.Enabled = false;
        std::cerr << AppTitle << ": the checks stay off until the settings are saved: there is no " << IniPath << '\n';
    } else {
        // The eighteen keys, mail first, in one reading of the file.
        const std::vector<std::string> stored = GetIniValues(s.files, s.encoding,
                                                             {{MailSection, "ADDRESS"},
                                                              {MailSection, "MAILID"},
                                                              {MailSection, "PASSWORD"},
                                                              {MailSection, "SMTP"},
                                                              {MailSection, "SUBJECT"},
                                                              {MailSection, "SEND"},
                                                              {MailSection, "CC"},
                                                              {SettingSection, "LOGPATH"},
                                                              {SettingSection, "SAVEFOLDER"},
                                                              {SettingSection, "TIMEOUT"},
                                                              {SettingSection, "TIMER"},
                                                              {SettingSection, "URL"},
                                                              {SettingSection, "KIDOU"},
                                                              {SettingSection, "LOGIN"},
                                                              {SettingSection, "ID"},
                                                              {SettingSection, "LOGINPASS"},
                                                              {SettingSection, "PROXY"},
                                                              {SettingSection, "RESTART"}},
                                                             IniPath);
        const std::string& address = stored[0];
        const std::string& mailId = stored[1];
        const std::string& password = stored[2];
        const std::string& smtp = stored[3];
        const std::string& subject = stored[4];
        const std::string& send = stored[5];
        const std::string& cc = stored[6];
        const std::string& logPath = stored[7];
        const std::string& saveFolder = stored[8];
        const auto timeout = wholeNumber(stored[9]);
        // An interval the timer cannot take (0, too large, not a number) shows as an empty field,
        // which keeps the checks off, as a missing one does.
        const auto interval = IntervalMilliseconds(stored[10]);
        const std::string& url = stored[11];
        const std::string& kidou = stored[12];
        const std::string& login = stored[13];
        const std::string& id = stored[14];
        const std::string& loginPass = stored[15];
        const std::string& proxy = stored[16];
        const std::string& restart = stored[17];

        txtLog.Text = logPath;
        txtTimeout.Text = timeout ? std::to_string(*timeout) : std::string();
        txtTimer.Text = interval ? std::to_string(*interval / 1000) : std::string();
        txtParaPath.Text = saveFolder;
        txtUrl.Text = url;
        chkKidou.Value = checkState(kidou);
        txtSMTP.Text = smtp;
        txtAcount.Text = mailId;
        txtPass.Text = password;
        txtFrom.Text = address;
        txtSubject.Text = subject;
        txtSendto.Text = send;
        txtCC.Text = cc;
        // Only a stored 1 chooses the reboot; anything else restarts the web server.
        OptBoot(wholeNumber(restart) == 1 ? 1 : 0).Value = true;
        txtProxy.Text = proxy;

        if (!login.empty()) {
            chkSysStart.Value = checkState(login);
            txtUser.Text = id;
            txtUserPass.Text = loginPass;
        } else {
            const std::string autoLogon =
                GetRegValue(s.registry, RegistryHive::LocalMachine, WinlogonKey, AutoAdminLogon);
            if (autoLogon.empty()) {
                chkSysStart.Value = 0;
            } else {
                chkSysStart.Value = checkState(autoLogon);
                txtUser.Text = GetRegValue(s.registry, RegistryHive::LocalMachine, WinlogonKey, DefaultUserName);
                txtUserPass.Text = GetRegValue(s.registry, RegistryHive::LocalMachine, WinlogonKey, DefaultPassword);
            }
        }

        RearmTimer(*this);
    }

    if (chkKidou.Value() > 0) {
        WindowState = 1;
        Visible = false;
    }

    // The tray menu offers stop, whatever start-up decided about the timer.
    Menu_Start.Enabled = false;
    Menu_Stop.Enabled = true;

    InstallTraySubclass(*this);
    SetTrayIcon(*this, Caption, NIM_ADD);
}
