// SPDX-License-Identifier: MIT
#pragma once

#include "monitor/ProcessLauncher.h"

#include <functional>
#include <string>
#include <vector>

// Starts programs with CreateProcessW. The program's path is both the application name, so that no
// search of PATH or of the current folder takes place, and the quoted head of the command line, so
// that a folder with spaces ("C:\Program Files") cannot be read as a shorter program name followed by
// arguments. Each argument is quoted as the C runtime splits it back. The program's window is shown
// minimized (SW_SHOWMINIMIZED) and inherits no handle of this program. Both handles CreateProcessW
// returns are closed at once: nothing waits for the program or looks at its exit code.
class WinProcessLauncher : public ProcessLauncher
{
public:
    using Reporter = std::function<void(const std::string&)>;
    // `report` receives the reason when a program cannot be started; by default it goes to the event
    // log (as a recovery that did not start) and standard error.
    explicit WinProcessLauncher(Reporter report = {});

    bool start(const std::string& program, const std::vector<std::string>& arguments) override;

private:
    Reporter m_report;
};

// The command line CreateProcessW is given: the program in quotes, then each argument, quoted when it
// holds a blank or a quote or is empty, with backslashes doubled only where the C runtime's rules
// would otherwise eat them (before a quote, and at the end of a quoted argument).
std::wstring WinCommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments);
