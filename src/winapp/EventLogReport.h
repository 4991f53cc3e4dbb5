// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Tells the operator about something the window does not show (an alert mail that did not go out):
// one warning in the Application event log, source "Sentrybell", and one line on standard error for
// a console that started the program. Line breaks become spaces. Never fails.
void ReportToEventLog(const std::string& message);
