// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Tells the operator about something the window does not show, where an operator of the machine
// looks: standard error and the system log on Linux, the Application event log on Windows. One
// message is one line. Never fails.
class OperatorReport
{
public:
    virtual ~OperatorReport() = default;
    virtual void report(const std::string& message) = 0;
};
