// SPDX-License-Identifier: MIT
#include "win/WinSystemLog.h"

#include "win/WideText.h"

#include <iostream>
#include <windows.h>

namespace {

constexpr DWORD ReportEventId = 1;

std::string oneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

// Registered once and kept for the program's life: the handle is cheap, and a report must not fail
// for want of one later.
HANDLE eventSource()
{
    static const HANDLE source = RegisterEventSourceW(nullptr, L"Sentrybell");
    return source;
}

} // namespace

void ReportToEventLog(const std::string& message)
{
    const std::string line = oneLine(message);
    std::cerr << "sentrybell: " << line << std::endl;
    const HANDLE source = eventSource();
    if (source == nullptr) {
        return;
    }
    const std::wstring wide = Widen(line);
    const wchar_t* strings[] = {wide.c_str()};
    ReportEventW(source, EVENTLOG_WARNING_TYPE, 0, ReportEventId, nullptr, 1, 0, strings, nullptr);
}
