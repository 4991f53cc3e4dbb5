// SPDX-License-Identifier: MIT
#include "common/FileSystem.h"
#include "config/AutoLogon.h"
#include "config/FieldRules.h"
#include "config/SettingsComplete.h"
#include "config/SettingsFile.h"
#include "config/SettingsTable.h"
#include "shell/Form1.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

#include <iostream>
#include <string>
#include <variant>
#include <vector>

void Form1::Form_Load()
{
    auto& s = services();
    errCount = 0;
    IniPath = SettingsFilePath(s.environment);

    const std::vector<SettingField> settings = SettingsTable(*this);
    if (!s.files.fileExists(IniPath)) {
        // Nothing configured yet: the text fields start empty, but for the auto-logon account's.
        // The file is created by the first save, not here.
        for (const SettingField& setting : settings) {
            if (std::holds_alternative<TextBox*>(setting.control) && !setting.autoLogon) {
                ShowStored(setting, "");
            }
        }
        Timer1.Enabled = false;
        手動チェック.Enabled = false;
        Command5.Enabled = false;
        std::cerr << AppTitle << ": the checks stay off until the settings are saved: there is no " << IniPath << '\n';
    } else {
        // Every key in one reading of the file, each shown by its field's rule: a number the rule
        // refuses (0, too large, not a number) shows as an empty field, which keeps the checks off, as a
        // missing one does.
        std::vector<std::pair<std::string, std::string>> keys;
        for (const SettingField& setting : settings) {
            keys.emplace_back(setting.section, setting.key);
        }
        const std::vector<std::string> stored = GetIniValues(s.files, s.encoding, keys, IniPath);
        // The auto-logon account comes from the file when it holds LOGIN, else from the Winlogon store.
        bool loginStored = false;
        for (std::size_t i = 0; i < settings.size(); ++i) {
            loginStored = loginStored || (settings[i].rule == FieldRule::Login && !stored[i].empty());
        }
        for (std::size_t i = 0; i < settings.size(); ++i) {
            if (!settings[i].autoLogon || loginStored) {
                ShowStored(settings[i], stored[i]);
            }
        }
        if (!loginStored) {
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
