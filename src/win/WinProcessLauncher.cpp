// SPDX-License-Identifier: MIT
#include "win/WinProcessLauncher.h"

#include "win/SystemMessage.h"
#include "win/WideText.h"
#include "win/WinSystemLog.h"

#include <windows.h>

namespace {

void appendQuoted(std::wstring& line, const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: there each stands for half as many.
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\'); // so the closing quote stays a quote
    line += L'"';
}

} // namespace

std::wstring WinCommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments)
{
    // A Windows path holds no quote, and the runtime reads the program's name up to the next quote
    // with no backslash rules, so plain quotes around it are exact.
    std::wstring line = L"\"" + program + L"\"";
    for (const std::wstring& argument : arguments) {
        line += L' ';
        appendQuoted(line, argument);
    }
    return line;
}

WinProcessLauncher::WinProcessLauncher(Reporter report) : m_report(std::move(report))
{
    if (!m_report) {
        // The launcher starts iisreset.exe alone: a start that fails is a recovery that did not start.
        m_report = [](const std::string& text) { ReportToEventLog(ReportKind::RecoveryNotStarted, text); };
    }
}

bool WinProcessLauncher::start(const std::string& program, const std::vector<std::string>& arguments)
{
    const auto refuse = [&](const std::string& why) {
        m_report("cannot start " + program + ": " + why);
        return false;
    };
    // A NUL would cut the path short and start another program than the one named.
    if (program.empty() || program.find('\0') != std::string::npos || program.find('"') != std::string::npos) {
        return refuse("not a program path");
    }
    std::vector<std::wstring> wideArguments;
    for (const std::string& argument : arguments) {
        if (argument.find('\0') != std::string::npos) {
            return refuse("an argument holds a NUL character");
        }
        wideArguments.push_back(Widen(argument));
    }
    const std::wstring application = Widen(program);
    std::wstring commandLine = WinCommandLine(application, wideArguments);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process) == FALSE) {
        return refuse(SystemMessage(GetLastError()));
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
