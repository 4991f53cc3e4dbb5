// SPDX-License-Identifier: MIT
#include "common/OperationalEvent.h"

#include <array>

namespace {

std::string fieldValue(std::string_view value)
{
    const bool quoted = value.empty() || value.find_first_of(" \t\"=\\\r\n") != std::string_view::npos;
    std::string text;
    if (quoted) {
        text += '"';
    }
    for (const char c : value) {
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (c == '\r' || c == '\n' || c == '\t') {
            text += ' ';
        } else {
            text += c;
        }
    }
    if (quoted) {
        text += '"';
    }
    return text;
}

} // namespace

std::string_view EventNameText(EventName name)
{
    static constexpr std::array<std::string_view, 8> names{
        "started",          "settings_loaded", "settings_refused", "check_failed",
        "recovery_started", "mail_sent",       "mail_failed",      "ended"};
    return names.at(static_cast<std::size_t>(name));
}

std::string EventLine(const OperationalEvent& event)
{
    std::string line = "event=";
    line += EventNameText(event.name);
    for (const auto& [key, value] : event.fields) {
        line += ' ' + key + '=' + fieldValue(value);
    }
    return line;
}
