// SPDX-License-Identifier: MIT
#pragma once

#include "common/OperatorReport.h"

#include <cstdint>
#include <string>

// How one kind of report is written to the Application event log: its event ID (the message of that
// ID in the program's message table is the report's line itself) and its type.
struct EventLogEntry
{
    std::uint32_t id;
    std::uint16_t type; // EVENTLOG_ERROR_TYPE or EVENTLOG_WARNING_TYPE
};
EventLogEntry EventFor(ReportKind kind);
EventLogEntry EventFor(EventName name);

// Tells the operator about something the window does not show: one event in the Application event
// log, where a Windows operator looks first (source "Sentrybell", the event ID of its kind), and one
// line on standard error for a run from a console. Line breaks in the message become spaces, so one
// report is one line. Never fails: without the event log the line only goes to standard error.
//
// The installer registers the source with sentrybell.exe as its message file; without that (a
// portable copy never registered), Event Viewer prefixes the text with "The description for Event ID
// ... cannot be found", and the text itself is still shown whole.
void ReportToEventLog(ReportKind kind, const std::string& message);

// One operational event in the Application event log, with its name's event ID and its key=value
// line as the text; not on standard error.
void EventToEventLog(const OperationalEvent& event);

// The operator's reports of the core, through ReportToEventLog.
class EventLogReport : public OperatorReport
{
public:
    void report(ReportKind kind, const std::string& message) override { ReportToEventLog(kind, message); }
    void event(const OperationalEvent& event) override { EventToEventLog(event); }
};
