// SPDX-License-Identifier: MIT
#include "posix/SystemLog.h"

#include <cstdio>
#include <syslog.h>

namespace {

std::string oneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

void openOnce()
{
    static const bool opened = [] {
        openlog("sentrybell", LOG_PID, LOG_USER);
        return true;
    }();
    (void)opened;
}

} // namespace

void EventToSystemLog(const OperationalEvent& event)
{
    openOnce();
    const bool failure = event.name == EventName::CheckFailed || event.name == EventName::MailFailed ||
                         event.name == EventName::SettingsRefused || event.name == EventName::RecoveryStarted;
    syslog(failure ? LOG_WARNING : LOG_INFO, "%s", EventLine(event).c_str());
}

void ReportToSystemLog(const std::string& message)
{
    openOnce();
    const std::string line = oneLine(message);
    std::fprintf(stderr, "sentrybell: %s\n", line.c_str());
    std::fflush(stderr);
    syslog(LOG_WARNING, "%s", line.c_str());
}
