// SPDX-License-Identifier: MIT
#include "config/AutoLogon.h"
#include "config/SaveRefusal.h"
#include "config/SettingsComplete.h"
#include "config/SettingsFile.h"
#include "monitor/IntervalRule.h"
#include "shell/Form1.h"

// Stores the monitoring frame: the SETTING section in one replacement of the file, then the
// auto-logon values, then the checks re-armed. A save that would store something the operator did
// not choose, or that cannot keep every key, keeps nothing and says so.
void Form1::Command1_Click()
{
    for (const TextBox* required :
         {&txtLog, &txtParaPath, &txtTimeout, &txtTimer, &txtUrl, &txtUser, &txtUserPass, &txtProxy}) {
        if (required->Text().empty()) {
            RefuseSave(*this);
            return;
        }
    }
    // An interval the timer cannot take would be stored and then keep the checks off for good.
    const auto interval = IntervalMilliseconds(txtTimer.Text());
    if (!interval) {
        RefuseSave(*this);
        return;
    }
    // With no recovery option chosen (a first start) storing either would be a guess; a reboot the
    // operator never chose is the worse one.
    if (!OptBoot(0).Value() && !OptBoot(1).Value()) {
        RefuseSave(*this);
        return;
    }

    const bool autoLogon = chkSysStart.Value() == 1;
    const IniEntries entries{
        {"LOGPATH", txtLog.Text()},
        {"SAVEFOLDER", txtParaPath.Text()},
        {"TIMEOUT", txtTimeout.Text()},
        {"TIMER", std::to_string(*interval / 1000)},
        {"URL", txtUrl.Text()},
        {"KIDOU", std::to_string(chkKidou.Value())},
        {"LOGIN", std::to_string(chkSysStart.Value())},
        {"ID", txtUser.Text()},
        {"LOGINPASS", txtUserPass.Text()},
        {"RESTART", OptBoot(0).Value() ? "0" : "1"},
        {"PROXY", txtProxy.Text()},
    };
    auto& s = services();
    if (!PutIniSection(s.files, s.encoding, IniPath, SettingSection, entries)) {
        RefuseSave(*this);
        return;
    }

    // Registry writes need administrator rights; without them only the file is kept, silently.
    const std::string computerName = ComputerName(s.environment);
    PutRegValue(s.registry, RegistryHive::LocalMachine, WinlogonKey, AutoAdminLogon,
                std::to_string(chkSysStart.Value()));
    if (autoLogon) {
        PutRegValue(s.registry, RegistryHive::LocalMachine, WinlogonKey, DefaultUserName, txtUser.Text());
        PutRegValue(s.registry, RegistryHive::LocalMachine, WinlogonKey, DefaultDomainName, computerName);
        PutRegValue(s.registry, RegistryHive::LocalMachine, WinlogonKey, DefaultPassword, txtUserPass.Text());
    }

    RearmTimer(*this);
}
