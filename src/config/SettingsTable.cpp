// SPDX-License-Identifier: MIT
#include "config/SettingsTable.h"

#include "config/FieldRules.h"
#include "shell/Form1.h"

namespace {

constexpr const char* ProxyEmpty = "is empty (a single space means no proxy)";

std::optional<std::int32_t> milliseconds(FieldRule rule, std::string_view text)
{
    return rule == FieldRule::Timeout ? TimeoutMilliseconds(text) : TimerMilliseconds(text);
}

std::string storedText(const SettingField& setting)
{
    if (auto* const* box = std::get_if<TextBox*>(&setting.control)) {
        const std::string& text = (*box)->Text();
        if (setting.rule == FieldRule::Timer) {
            const auto interval = TimerMilliseconds(text);
            return interval ? std::to_string(*interval / 1000) : text;
        }
        return text;
    }
    if (auto* const* check = std::get_if<CheckBox*>(&setting.control)) {
        return std::to_string((*check)->Value());
    }
    return (*std::get<ControlArray<OptionButton>*>(setting.control))(0).Value() ? "0" : "1";
}

bool inSection(const SettingField& setting, std::string_view section)
{
    return section == setting.section;
}

} // namespace

std::vector<SettingField> SettingsTable(Form1& f)
{
    using R = FieldRule;
    return {
        {MailSection, "ADDRESS", &f.txtFrom, R::Text},
        {MailSection, "MAILID", &f.txtAcount, R::Text},
        {MailSection, "PASSWORD", &f.txtPass, R::Text},
        {MailSection, "SMTP", &f.txtSMTP, R::Text},
        {MailSection, "SUBJECT", &f.txtSubject, R::Text, nullptr},
        {MailSection, "SEND", &f.txtSendto, R::Text},
        {MailSection, "CC", &f.txtCC, R::Text, nullptr},
        {SettingSection, "LOGPATH", &f.txtLog, R::Text},
        {SettingSection, "SAVEFOLDER", &f.txtParaPath, R::Text},
        {SettingSection, "TIMEOUT", &f.txtTimeout, R::Timeout},
        {SettingSection, "TIMER", &f.txtTimer, R::Timer},
        {SettingSection, "URL", &f.txtUrl, R::Text},
        {SettingSection, "KIDOU", &f.chkKidou, R::Kidou},
        {SettingSection, "LOGIN", &f.chkSysStart, R::Login, IsEmpty, true},
        {SettingSection, "ID", &f.txtUser, R::Text, IsEmpty, true},
        {SettingSection, "LOGINPASS", &f.txtUserPass, R::Text, IsEmpty, true},
        {SettingSection, "RESTART", &f.OptBoot, R::Restart},
        {SettingSection, "PROXY", &f.txtProxy, R::Text, ProxyEmpty},
    };
}

void ShowStored(const SettingField& setting, std::string_view stored)
{
    switch (setting.rule) {
    case FieldRule::Text:
        std::get<TextBox*>(setting.control)->Text = std::string(stored);
        break;
    case FieldRule::Timeout:
    case FieldRule::Timer: {
        const auto value = milliseconds(setting.rule, stored);
        std::get<TextBox*>(setting.control)->Text = value ? std::to_string(*value / 1000) : std::string();
        break;
    }
    case FieldRule::Kidou:
        std::get<CheckBox*>(setting.control)->Value = KidouValue(stored);
        break;
    case FieldRule::Login:
        std::get<CheckBox*>(setting.control)->Value = LoginValue(stored);
        break;
    case FieldRule::Restart:
        (*std::get<ControlArray<OptionButton>*>(setting.control))(RestartOption(stored)).Value = true;
        break;
    }
}

IniEntries StoredEntries(const std::vector<SettingField>& settings, std::string_view section)
{
    IniEntries entries;
    for (const SettingField& setting : settings) {
        if (inSection(setting, section)) {
            entries.emplace_back(setting.key, storedText(setting));
        }
    }
    return entries;
}

std::optional<SaveFault> SectionFault(const std::vector<SettingField>& settings, std::string_view section)
{
    for (const SettingField& setting : settings) {
        auto* const* box = std::get_if<TextBox*>(&setting.control);
        if (inSection(setting, section) && box != nullptr && setting.refusedEmpty != nullptr &&
            (*box)->Text().empty()) {
            return SaveFault{(*box)->name() + ' ' + setting.refusedEmpty, *box};
        }
    }
    for (const SettingField& setting : settings) {
        const bool number = setting.rule == FieldRule::Timeout || setting.rule == FieldRule::Timer;
        if (inSection(setting, section) && number) {
            TextBox& box = *std::get<TextBox*>(setting.control);
            if (!milliseconds(setting.rule, box.Text())) {
                return SaveFault{box.name() + " is not " + SecondsRuleText, &box};
            }
        }
    }
    return std::nullopt;
}

std::optional<SettingField> StoredSetting(Form1& form, const TextBox* field)
{
    for (const SettingField& setting : SettingsTable(form)) {
        if (const auto* box = std::get_if<TextBox*>(&setting.control); box != nullptr && *box == field) {
            return setting;
        }
    }
    return std::nullopt;
}
