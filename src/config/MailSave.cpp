// SPDX-License-Identifier: MIT
#include "config/SaveRefusal.h"
#include "config/SettingsComplete.h"
#include "config/SettingsFile.h"
#include "config/SettingsTable.h"
#include "shell/Form1.h"

// Stores the mail frame: the MAIL section in one replacement of the file, then the checks re-armed.
// The subject and the copy addresses may be empty; the completeness check then keeps the checks off.
void Form1::Command2_Click()
{
    const std::vector<SettingField> settings = SettingsTable(*this);
    if (const auto fault = SectionFault(settings, MailSection)) {
        RefuseSave(*this, fault->why, fault->field);
        return;
    }

    auto& s = services();
    std::string failure;
    if (!PutIniSection(s.files, s.encoding, IniPath, MailSection, StoredEntries(settings, MailSection), &failure)) {
        RefuseSave(*this, failure);
        return;
    }
    RearmTimer(*this);
}
