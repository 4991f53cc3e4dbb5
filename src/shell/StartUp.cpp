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
        auto read = [&](const char* section, const char* key) {
            return GetIniValue(s.files, s.encoding, section, key, IniPath);
        };
        const std::string address = read(MailSection, "ADDRESS");
        const std::string mailId = read(MailSection, "MAILID");
        const std::string password = read(MailSection, "PASSWORD");
        const std::string smtp = read(MailSection, "SMTP");
        const std::string subject = read(MailSection, "SUBJECT");
        const std::string send = read(MailSection, "SEND");
        const std::string cc = read(MailSection, "CC");
        const std::string logPath = read(SettingSection, "LOGPATH");
        const std::string saveFolder = read(SettingSection, "SAVEFOLDER");
        const auto timeout = wholeNumber(read(SettingSection, "TIMEOUT"));
        // An interval the timer cannot take (0, too large, not a number) shows as an empty field,
        // which keeps the checks off, as a missing one does.
        const auto interval = IntervalMilliseconds(read(SettingSection, "TIMER"));
        const std::string url = read(SettingSection, "URL");
        const std::string kidou = read(SettingSection, "KIDOU");
        const std::string login = read(SettingSection, "LOGIN");
        const std::string id = read(SettingSection, "ID");
        const std::string loginPass = read(SettingSection, "LOGINPASS");
        const std::string proxy = read(SettingSection, "PROXY");
        const std::string restart = read(SettingSection, "RESTART");

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
