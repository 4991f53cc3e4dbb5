// SPDX-License-Identifier: MIT
#include "config/SettingsComplete.h"

#include "common/Environment.h"
#include "common/FileSystem.h"
#include "config/FieldRules.h"
#include "config/SettingsTable.h"
#include "shell/Form1.h"

#include <iostream>

namespace {

// The text before the last separator, the search starting at the second character (a separator in
// first place alone does not make a folder part); empty when there is none.
std::string folderPart(const std::string& path, char separator)
{
    if (path.size() < 2) {
        return {};
    }
    const auto last = path.find_last_of(separator);
    return (last == std::string::npos || last == 0) ? std::string() : path.substr(0, last);
}

// Where the field is kept in SETTING.ini, for whoever edits the file by hand (the service's operator).
std::string storedAs(Form1& form, const TextBox* field)
{
    for (const SettingField& setting : SettingsTable(form)) {
        if (const auto* box = std::get_if<TextBox*>(&setting.control); box && *box == field) {
            return std::string(" (") + setting.key + " in [" + setting.section + "])";
        }
    }
    return {};
}

std::optional<std::string> fieldFault(Form1& form, const TextBox& box)
{
    const std::string& text = box.Text();
    if (&box == &form.txtProxy) {
        return std::nullopt;
    }
    if (text.empty()) {
        return "is empty";
    }
    const auto& services = form.services();
    if (&box == &form.txtLog) {
        const std::string folder = folderPart(text, services.environment.pathSeparator());
        if (folder.empty()) {
            return "has no folder part";
        }
        if (!services.files.entryExists(folder)) {
            return "names a folder that does not exist: " + folder;
        }
    } else if (&box == &form.txtParaPath) {
        if (!services.files.entryExists(text)) {
            return "names a folder that does not exist: " + text;
        }
    } else if (&box == &form.txtTimeout) {
        if (!TimeoutMilliseconds(text)) {
            return std::string("is not ") + SecondsRuleText;
        }
    } else if (&box == &form.txtTimer) {
        if (!TimerMilliseconds(text)) {
            return std::string("is not ") + SecondsRuleText;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<IncompleteField> FirstIncompleteField(Form1& form)
{
    for (const TextBox* box : form.textBoxes()) {
        if (auto fault = fieldFault(form, *box)) {
            return IncompleteField{box, std::move(*fault)};
        }
    }
    return std::nullopt;
}

bool SettingsComplete(Form1& form)
{
    return !FirstIncompleteField(form).has_value();
}

void RearmTimer(Form1& form)
{
    const auto incomplete = FirstIncompleteField(form);
    const auto interval = TimerMilliseconds(form.txtTimer.Text());
    if (incomplete || !interval) {
        form.Timer1.Enabled = false;
        form.手動チェック.Enabled = false;
        form.Command5.Enabled = false;
        if (incomplete) {
            std::cerr << AppTitle << ": the checks stay off: " << incomplete->field->name() << ' ' << incomplete->reason
                      << storedAs(form, incomplete->field) << '\n';
        }
        return;
    }
    form.Timer1.Interval = *interval;
    form.Timer1.Enabled = true;
    form.手動チェック.Enabled = true;
    form.Command5.Enabled = true;
}
