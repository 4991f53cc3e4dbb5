// SPDX-License-Identifier: MIT
#include "common/Clock.h"
#include "common/Environment.h"
#include "common/FileSystem.h"
#include "common/OperatorReport.h"
#include "common/ProgramVersion.h"
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

namespace {

// Tells the machine's log whether the checks run after the settings were read, and if not, which
// key is at fault in the window's first field that keeps them off.
void reportSettings(Form1& form)
{
    OperatorReport& report = form.services().report;
    if (form.Timer1.Enabled()) {
        report.event({EventName::SettingsLoaded, {{"file", form.IniPath}}});
        return;
    }
    const auto incomplete = FirstIncompleteField(form);
    std::string key = "TIMER"; // complete but for the interval's own rule
    std::string reason = "not a usable interval";
    if (incomplete) {
        reason = incomplete->reason;
        if (const auto setting = StoredSetting(form, incomplete->field)) {
            key = setting->key;
        }
    }
    report.event({EventName::SettingsRefused, {{"file", form.IniPath}, {"key", key}, {"reason", reason}}});
}

} // namespace

void Form1::Form_Load()
{
    auto& s = services();
    errCount = 0;
    IniPath = SettingsFilePath(s.environment);
    if (metrics.started == std::chrono::system_clock::time_point{}) {
        metrics.started = s.clock.systemNow();
        s.report.event(
            {EventName::Started, {{"version", ProgramVersion}, {"folder", s.environment.executableFolder()}}});
    }
    metrics.file.clear();
    metrics.failureReported = false;

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
        ShowFieldAtFault(*this);
        std::cerr << AppTitle << ": the checks stay off until the settings are saved: there is no " << IniPath << '\n';
        s.report.event({EventName::SettingsRefused, {{"file", IniPath}, {"reason", "no settings file"}}});
    } else {
        // Every key in one reading of the file, each shown by its field's rule: a number the rule
        // refuses (0, too large, not a number) shows as an empty field, which keeps the checks off, as a
        // missing one does.
        std::vector<std::pair<std::string, std::string>> keys;
        for (const SettingField& setting : settings) {
            keys.emplace_back(setting.section, setting.key);
        }
        // Last, and outside the table: the metrics file is no field of the window and no save writes it.
        keys.emplace_back(MetricsSection, MetricsFileKey);
        const std::vector<std::string> stored = GetIniValues(s.files, s.encoding, keys, IniPath);
        metrics.file = stored.back();
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
        reportSettings(*this);
    }

    // The tray menu offers stop, whatever start-up decided about the timer.
    Menu_Start.Enabled = false;
    Menu_Stop.Enabled = true;

    InstallTraySubclass(*this);
    SetTrayIcon(*this, Caption, TrayMessage::Add);

    // Into the tray: minimised, and hidden once the icon is there to bring the window back. The view
    // shows the window only after start-up, so nothing of it appears meanwhile.
    if (chkKidou.Value() > 0) {
        WindowState = 1;
        HideToTray(*this);
    }
    PublishMetrics(*this);
}
