// SPDX-License-Identifier: MIT
#pragma once

#include "config/SettingsFile.h"
#include "shell/Controls.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class Form1;

// How a stored value and the window's field meet. The numbers and flags follow their field's own
// function of FieldRules.h, so that start-up, the saves and the checks take the same values.
enum class FieldRule
{
    Text,    // shown and stored as it is
    Timeout, // TimeoutMilliseconds: shown as whole seconds, empty when refused; stored as typed
    Timer,   // TimerMilliseconds: shown as whole seconds, empty when refused; stored as whole seconds
    Kidou,   // KidouValue: the check box, stored as 0 or 1
    Login,   // LoginValue: the check box, stored as 0 or 1
    Restart, // RestartOption: the chosen option's index, stored as 0 or 1
};

using SettingControl = std::variant<TextBox*, CheckBox*, ControlArray<OptionButton>*>;

inline constexpr const char* IsEmpty = "is empty";

// One key of the settings file and the field of the window that holds it.
struct SettingField
{
    const char* section;
    const char* key;
    SettingControl control;
    FieldRule rule;
    // Why a save refuses the text field when it is empty; null when it is stored empty.
    const char* refusedEmpty = IsEmpty;
    // The auto-logon account: when the file has no LOGIN, start-up takes these from the Winlogon
    // store instead, and without a file they keep their design-time values.
    bool autoLogon = false;
};

// Every key of the file: start-up reads them in this order, and each save writes its section's keys
// in this order.
std::vector<SettingField> SettingsTable(Form1& form);

// The row of a text box: where the field is kept in the file. Nothing for a box the file does not hold.
std::optional<SettingField> StoredSetting(Form1& form, const TextBox* field);

// Shows a stored value in the field, by the field's rule.
void ShowStored(const SettingField& setting, std::string_view stored);

// The section's keys with the values its save stores, in the table's order.
IniEntries StoredEntries(const std::vector<SettingField>& settings, std::string_view section);

// Why a save must not store the window as it is, and the field to mend (none when no field is to blame).
struct SaveFault
{
    std::string why;
    Control* field = nullptr;
};

// Why the section's save would store something it must not, naming the first such field: a field that
// must not be empty and is, else a number its rule refuses (it would keep the checks off for good).
std::optional<SaveFault> SectionFault(const std::vector<SettingField>& settings, std::string_view section);
