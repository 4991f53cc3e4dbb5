// SPDX-License-Identifier: MIT
#pragma once

#include "common/OperationalEvent.h"

#include <string>

// What a report is about. The Windows event log gives each kind an event ID of its own, so that an
// operator can filter and alert on it; the system log on Linux takes the line alone.
enum class ReportKind
{
    SaveRefused,         // a save kept nothing: which field, or the file's error
    RecoveryNotStarted,  // a recovery command (iisreset) could not be started
    MailNotSent,         // an alert mail did not go out, or the alert's time ran out before a recipient
    MailSentWithoutAuth, // an alert mail went out without logging in: the server offered no TLS
    LogLineNotWritten,   // a line of the log was left out: no regular file in its place, or a full disk
    ChecksHeld,          // the timer runs but makes no check: a field cannot make a request
    MetricsNotWritten,   // the metrics file named in the settings could not be replaced
};

// Tells the operator about something the window does not show, where an operator of the machine
// looks: standard error and the system log on Linux, the Application event log on Windows. One
// message is one line. Never fails.
class OperatorReport
{
public:
    virtual ~OperatorReport() = default;
    virtual void report(ReportKind kind, const std::string& message) = 0;
    // One operational event for the machine's log (the system log under the program's tag, the
    // Application event log with the event's own ID), and nowhere else: the window, standard error and
    // the failure log are for the operator at the machine. Never fails.
    virtual void event(const OperationalEvent& event) = 0;
};
