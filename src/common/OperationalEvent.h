// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The operational events a fleet's log shipper or event collector reads: each has a stable name
// (and on Windows an event ID of its own), and a few key=value fields. The names and keys are part
// of what operators alert on, so they never change once published.
enum class EventName
{
    Started,         // the program began watching (version, folder)
    SettingsLoaded,  // the settings file was read and the checks run
    SettingsRefused, // the checks stay off: no settings file, or the field at fault
    CheckFailed,     // a check failed (outcome, count)
    RecoveryStarted, // the restart or reboot command was started (action)
    MailSent,        // an alert mail was taken by the server (recipient)
    MailFailed,      // an alert mail did not go out (recipient, reason)
    Ended,           // the program stopped watching (reason)
};

struct OperationalEvent
{
    EventName name;
    std::vector<std::pair<std::string, std::string>> fields;
};

// "started", "check_failed", ...
std::string_view EventNameText(EventName name);

// The event as one line of key=value pairs, the name first: `event=check_failed outcome=read_failed
// count=2`. A value with a blank, a quote, an equals sign or a backslash, or an empty one, is
// written in double quotes with `"` and `\` escaped by a backslash; a line break becomes a blank, so
// the line stays one line whatever an operator typed into a field.
std::string EventLine(const OperationalEvent& event);
