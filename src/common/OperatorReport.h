// SPDX-License-Identifier: MIT
#pragma once

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
};

// Tells the operator about something the window does not show, where an operator of the machine
// looks: standard error and the system log on Linux, the Application event log on Windows. One
// message is one line. Never fails.
class OperatorReport
{
public:
    virtual ~OperatorReport() = default;
    virtual void report(ReportKind kind, const std::string& message) = 0;
};
