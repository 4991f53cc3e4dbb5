// SPDX-License-Identifier: MIT
#include "config/AutoLogon.h"
#include "config/FieldRules.h"
#include "config/SaveRefusal.h"
#include "config/SettingsComplete.h"
#include "config/SettingsFile.h"
#include "shell/Form1.h"

#include <optional>

namespace {

// Why the monitoring frame cannot be stored as it is, or nothing.
std::optional<std::string> monitoringFault(Form1& f)
{
    for (const TextBox* required :
         {&f.txtLog, &f.txtParaPath, &f.txtTimeout, &f.txtTimer, &f.txtUrl, &f.txtUser, &f.txtUserPass, &f.txtProxy}) {
        if (required->Text().empty()) {
            return required->name() +
                   (required == &f.txtProxy ? " is empty (a single space means no proxy)" : std::string(" is empty"));
        }
    }
    // A number its rule refuses would be stored and then keep the checks off for good.
    if (!TimeoutMilliseconds(f.txtTimeout.Text())) {
        return f.txtTimeout.name() + " is not " + SecondsRuleText;
    }
    if (!TimerMilliseconds(f.txtTimer.Text())) {
        return f.txtTimer.name() + " is not " + SecondsRuleText;
    }
    // With no recovery option chosen (a first start) storing either would be a guess; a reboot the
    // operator never chose is the worse one.
    if (!f.OptBoot(0).Value() && !f.OptBoot(1).Value()) {
        return "no recovery option (OptBoot) is chosen";
    }
    return std::nullopt;
}

} // namespace

// Stores the monitoring frame: the SETTING section in one replacement of the file, then the
// auto-logon values, then the checks re-armed. A save that would store something the operator did
// not choose, or that cannot keep every key, keeps nothing and says so.
void Form1::Command1_Click()
{
    if (const auto fault = monitoringFault(*this)) {
        RefuseSave(*this, *fault);
        return;
    }

    const bool autoLogon = chkSysStart.Value() == 1;
    const IniEntries entries{
        {"LOGPATH", txtLog.Text()},
        {"SAVEFOLDER", txtParaPath.Text()},
        {"TIMEOUT", txtTimeout.Text()},
        {"TIMER", std::to_string(*TimerMilliseconds(txtTimer.Text()) / 1000)},
        {"URL", txtUrl.Text()},
        {"KIDOU", std::to_string(chkKidou.Value())},
        {"LOGIN", std::to_string(chkSysStart.Value())},
        {"ID", txtUser.Text()},
        {"LOGINPASS", txtUserPass.Text()},
        {"RESTART", OptBoot(0).Value() ? "0" : "1"},
        {"PROXY", txtProxy.Text()},
    };
    auto& s = services();
    std::string failure;
    if (!PutIniSection(s.files, s.encoding, IniPath, SettingSection, entries, &failure)) {
        RefuseSave(*this, failure);
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
