// SPDX-License-Identifier: MIT
#pragma once

#include "common/OperatorReport.h"

#include <string>

// Tells the operator about something the window does not show (a recovery command that could not
// start, an alert mail that did not go out): one line on standard error and one in the system log
// (syslog, ident "sentrybell"). Line breaks in the message become spaces, so one report is one line.
// Never fails: where there is no system log the line only goes to standard error. Where standard
// error is systemd's journal (a service), only the system log's line is written, once.
void ReportToSystemLog(const std::string& message);

// One operational event as one line of key=value pairs in the system log (ident "sentrybell"),
// informational or, for a failure, a warning; not on standard error.
void EventToSystemLog(const OperationalEvent& event);

// The operator's reports of the core, through ReportToSystemLog. The system log has no field for
// the kind: the line says what it is about.
class SystemLogReport : public OperatorReport
{
public:
    void report(ReportKind /*kind*/, const std::string& message) override { ReportToSystemLog(message); }
    void event(const OperationalEvent& event) override { EventToSystemLog(event); }
};
