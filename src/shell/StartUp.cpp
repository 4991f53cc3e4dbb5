// SPDX-License-Identifier: MIT
#include "common/FileSystem.h"
#include "config/AutoLogon.h"
#include "config/FieldRules.h"
#include "config/SettingsComplete.h"
#include "config/SettingsFile.h"
#include "shell/Form1.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

#include <iostream>
#include <string>
#include <vector>

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
        // A number its rule refuses (0, too large, not a number) shows as an empty field, which keeps
        // the checks off, as a missing one does.
        const auto timeout = TimeoutMilliseconds(stored[9]);
        const auto interval = TimerMilliseconds(stored[10]);
        const std::string& url = stored[11];
        const std::string& kidou = stored[12];
        const std::string& login = stored[13];
        const std::string& id = stored[14];
        const std::string& loginPass = stored[15];
        const std::string& proxy = stored[16];
        const std::string& restart = stored[17];

        txtLog.Text = logPath;
        txtTimeout.Text = timeout ? std::to_string(*timeout / 1000) : std::string();
        txtTimer.Text = interval ? std::to_string(*interval / 1000) : std::string();
        txtParaPath.Text = saveFolder;
        txtUrl.Text = url;
        chkKidou.Value = KidouValue(kidou);
        txtSMTP.Text = smtp;
        txtAcount.Text = mailId;
        txtPass.Text = password;
        txtFrom.Text = address;
        txtSubject.Text = subject;
        txtSendto.Text = send;
        txtCC.Text = cc;
        OptBoot(RestartOption(restart)).Value = true;
        txtProxy.Text = proxy;

        if (!login.empty()) {
            chkSysStart.Value = LoginValue(login);
            txtUser.Text = id;
            txtUserPass.Text = loginPass;
        } else {
            const std::string autoLogon =
                GetRegValue(s.registry, RegistryHive::LocalMachine, WinlogonKey, AutoAdminLogon);
            if (autoLogon.empty()) {
                chkSysStart.Value = 0;
            } else {
                chkSysStart.Value = LoginValue(autoLogon);
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
    SetTrayIcon(*this, Caption, TrayMessage::Add);
}
