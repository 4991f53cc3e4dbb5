// SPDX-License-Identifier: MIT
#include "winapp/EventLogReport.h"

#include "win/WideText.h"

#include <cstdio>
#include <windows.h>

void ReportToEventLog(const std::string& message)
{
    std::string line = message;
    for (char& c : line) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    std::fprintf(stderr, "sentrybell: %s\n", line.c_str());
    std::fflush(stderr);

    HANDLE log = RegisterEventSourceW(nullptr, L"Sentrybell");
    if (log == nullptr) {
        return;
    }
    const std::wstring text = Widen(line);
    const wchar_t* strings[] = {text.c_str()};
    ReportEventW(log, EVENTLOG_WARNING_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(log);
}
