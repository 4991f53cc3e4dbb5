// SPDX-License-Identifier: MIT
#include "config/AutoLogon.h"
#include "config/SaveRefusal.h"
#include "config/SettingsComplete.h"
#include "config/SettingsFile.h"
#include "config/SettingsTable.h"
#include "shell/Form1.h"

#include <optional>

namespace {

// Why the monitoring frame cannot be stored as it is, or nothing.
std::optional<SaveFault> monitoringFault(Form1& f, const std::vector<SettingField>& settings)
{
    if (auto fault = SectionFault(settings, SettingSection)) {
        return fault;
    }
    // With no recovery option chosen (a first start) storing either would be a guess; a reboot the
    // operator never chose is the worse one.
    if (!f.OptBoot(0).Value() && !f.OptBoot(1).Value()) {
        return SaveFault{"no recovery option (OptBoot) is chosen", &f.OptBoot(0)};
    }
    return std::nullopt;
}

} // namespace

// Stores the monitoring frame: the SETTING section in one replacement of the file, then the
// auto-logon values, then the checks re-armed. A save that would store something the operator did
// not choose, or that cannot keep every key, keeps nothing and says so.
void Form1::Command1_Click()
{
    const std::vector<SettingField> settings = SettingsTable(*this);
    if (const auto fault = monitoringFault(*this, settings)) {
        RefuseSave(*this, fault->why, fault->field);
        return;
    }

    const bool autoLogon = chkSysStart.Value() == 1;
    auto& s = services();
    std::string failure;
    if (!PutIniSection(s.files, s.encoding, IniPath, SettingSection, StoredEntries(settings, SettingSection),
                       &failure)) {
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
