// SPDX-License-Identifier: MIT
#include "posix/SystemLog.h"

#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Everything written to standard error while `action` runs.
template <typename Action> std::string capturedStandardError(Action action)
{
    TemporaryFolder folder;
    const std::string path = folder / "stderr";
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ::dup2(file, STDERR_FILENO);
    ::close(file);
    action();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    return ReadWholeFile(path);
}

TEST(SystemLog, OneReportIsOneLineOnStandardError)
{
    const std::string out = capturedStandardError([] { ReportToSystemLog("mail to x failed:\r\n550 no\nsuch user"); });
    EXPECT_EQ(out, "sentrybell: mail to x failed:  550 no such user\n");
}

TEST(SystemLog, UnderSystemdTheJournalGetsOneLineNotTwo)
{
    const std::string out = capturedStandardError([] {
        // Standard error is the journal's stream, as systemd names it for a service.
        struct stat journal
        {
        };
        ASSERT_EQ(::fstat(STDERR_FILENO, &journal), 0);
        ::setenv("JOURNAL_STREAM", (std::to_string(journal.st_dev) + ":" + std::to_string(journal.st_ino)).c_str(), 1);
        ReportToSystemLog("mail to x failed");
        ::unsetenv("JOURNAL_STREAM");
        ReportToSystemLog("a report outside systemd");
    });
    EXPECT_EQ(out, "sentrybell: a report outside systemd\n");
}

} // namespace
