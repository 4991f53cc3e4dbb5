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
    const auto setting = StoredSetting(form, field);
    return setting ? std::string(" (") + setting->key + " in [" + setting->section + "])" : std::string();
}

// What is wrong with a field, for standard error and in the window's words.
struct Fault
{
    std::string reason;
    const char* shown;
};

constexpr const char* ShownEmpty = " が空です";
constexpr const char* ShownNoFolder = " のフォルダーがありません";
constexpr const char* ShownNotSeconds = " が正しくありません";

std::optional<Fault> fieldFault(Form1& form, const TextBox& box)
{
    const std::string& text = box.Text();
    if (&box == &form.txtProxy) {
        return std::nullopt;
    }
    if (text.empty()) {
        return Fault{"is empty", ShownEmpty};
    }
    const auto& services = form.services();
    if (&box == &form.txtLog) {
        const std::string folder = folderPart(text, services.environment.pathSeparator());
        if (folder.empty()) {
            return Fault{"has no folder part", ShownNoFolder};
        }
        if (!services.files.entryExists(folder)) {
            return Fault{"names a folder that does not exist: " + folder, ShownNoFolder};
        }
    } else if (&box == &form.txtParaPath) {
        if (!services.files.entryExists(text)) {
            return Fault{"names a folder that does not exist: " + text, ShownNoFolder};
        }
    } else if (&box == &form.txtTimeout) {
        if (!TimeoutMilliseconds(text)) {
            return Fault{std::string("is not ") + SecondsRuleText, ShownNotSeconds};
        }
    } else if (&box == &form.txtTimer) {
        if (!TimerMilliseconds(text)) {
            return Fault{std::string("is not ") + SecondsRuleText, ShownNotSeconds};
        }
    }
    return std::nullopt;
}

std::string withoutHint(const std::string& caption)
{
    return caption.substr(0, caption.find("（"));
}

} // namespace

std::string FieldCaption(Form1& f, const TextBox& box)
{
    struct Named
    {
        const TextBox* box;
        const Label* label;
        const Label* secondLine = nullptr;
    };
    const Named names[] = {
        {&f.txtLog, &f.Label1(0)},     {&f.txtParaPath, &f.Label2(0), &f.Label2(1)},
        {&f.txtTimeout, &f.Label2(2)}, {&f.txtTimer, &f.Label2(6)},
        {&f.txtUrl, &f.Label2(3)},     {&f.txtProxy, &f.Label3(3)},
        {&f.txtUser, &f.Label3(0)},    {&f.txtUserPass, &f.Label3(1)},
        {&f.txtSendto, &f.Label1(2)},  {&f.txtCC, &f.Label1(3)},
        {&f.txtFrom, &f.Label1(4)},    {&f.txtSubject, &f.Label1(5)},
        {&f.txtAcount, &f.Label1(6)},  {&f.txtPass, &f.Label1(7)},
        {&f.txtSMTP, &f.Label1(1)},
    };
    for (const Named& named : names) {
        if (named.box == &box) {
            return withoutHint(named.label->Caption()) +
                   (named.secondLine != nullptr ? withoutHint(named.secondLine->Caption()) : std::string());
        }
    }
    return box.name();
}

std::optional<IncompleteField> FirstIncompleteField(Form1& form)
{
    for (const TextBox* box : form.textBoxes()) {
        if (auto fault = fieldFault(form, *box)) {
            return IncompleteField{box, std::move(fault->reason), FieldCaption(form, *box) + fault->shown};
        }
    }
    return std::nullopt;
}

namespace {

void showFieldAtFault(Form1& form, const std::optional<IncompleteField>& incomplete)
{
    const std::string why = incomplete ? incomplete->shown : std::string();
    form.手動チェック.ToolTipText = why;
    form.Command5.ToolTipText = why;
}

} // namespace

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
        showFieldAtFault(form, incomplete);
        return;
    }
    form.Timer1.Interval = *interval;
    form.Timer1.Enabled = true;
    form.手動チェック.Enabled = true;
    form.Command5.Enabled = true;
    showFieldAtFault(form, incomplete);
}

void ShowFieldAtFault(Form1& form)
{
    showFieldAtFault(form, FirstIncompleteField(form));
}
