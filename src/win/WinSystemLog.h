// SPDX-License-Identifier: MIT
#pragma once

#include "common/OperatorReport.h"

#include <string>

// Tells the operator about something the window does not show (a recovery command that could not
// start, an alert mail that did not go out): one warning in the Application event log, where a
// Windows operator looks first (source "Sentrybell", event 1), and one line on standard error for a
// run from a console. Line breaks in the message become spaces, so one report is one line. Never
// fails: without the event log the line only goes to standard error.
//
// Until the installer registers the source with a message file, the Event Viewer prefixes the text
// with "The description for Event ID 1 ... cannot be found"; the text itself is shown whole.
void ReportToEventLog(const std::string& message);

// The operator's reports of the core, through ReportToEventLog.
class EventLogReport : public OperatorReport
{
public:
    void report(const std::string& message) override { ReportToEventLog(message); }
};
