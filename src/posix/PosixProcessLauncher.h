// SPDX-License-Identifier: MIT
#pragma once

#include "monitor/ProcessLauncher.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// Starts programs with posix_spawn: no shell, the program's path as it is, every argument its own
// argv entry. The child gets an empty signal mask, default signal dispositions, its own process group
// (so a Ctrl-C meant for this program does not cut a restart short) and only the standard streams of
// this process.
//
// Nothing waits for the child, but each one is reaped when it ends, so months of restarts leave no
// zombies: a small detached thread per child blocks in waitpid() on that child's pid alone. Waiting on
// our own pids (never on -1) leaves the exit statuses of children that other code started alone, and
// needs no SIGCHLD handler, which a library in the same process might own. Should a thread not be
// available, the pid is kept and reaped without blocking at the next start.
class PosixProcessLauncher : public ProcessLauncher
{
public:
    using Reporter = std::function<void(const std::string&)>;
    // `report` receives the reason when a program cannot be started; by default it goes to standard
    // error and the system log.
    explicit PosixProcessLauncher(Reporter report = {});
    ~PosixProcessLauncher() override;
    PosixProcessLauncher(const PosixProcessLauncher&) = delete;
    PosixProcessLauncher& operator=(const PosixProcessLauncher&) = delete;

    bool start(const std::string& program, const std::vector<std::string>& arguments) override;

private:
    void reapLater(pid_t pid);
    void reapFinished();

    Reporter m_report;
    std::vector<pid_t> m_unreaped;
};
