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

} // namespace

void ReportToSystemLog(const std::string& message)
{
    static const bool opened = [] {
        openlog("sentrybell", LOG_PID, LOG_USER);
        return true;
    }();
    (void)opened;
    const std::string line = oneLine(message);
    std::fprintf(stderr, "sentrybell: %s\n", line.c_str());
    std::fflush(stderr);
    syslog(LOG_WARNING, "%s", line.c_str());
}
