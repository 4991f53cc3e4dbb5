// SPDX-License-Identifier: MIT
#include "posix/SystemLog.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

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

// Under systemd, standard error may already be the journal's stream (JOURNAL_STREAM names its device
// and inode): a line there as well as in the system log would show twice in journalctl.
bool standardErrorIsTheJournal()
{
    const char* stream = std::getenv("JOURNAL_STREAM");
    struct stat standardError
    {
    };
    if (stream == nullptr || ::fstat(STDERR_FILENO, &standardError) != 0) {
        return false;
    }
    unsigned long long device = 0;
    unsigned long long inode = 0;
    return std::sscanf(stream, "%llu:%llu", &device, &inode) == 2 && device == standardError.st_dev &&
           inode == standardError.st_ino;
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
    if (!standardErrorIsTheJournal()) {
        std::fprintf(stderr, "sentrybell: %s\n", line.c_str());
        std::fflush(stderr);
    }
    syslog(LOG_WARNING, "%s", line.c_str());
}
