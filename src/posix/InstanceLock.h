// SPDX-License-Identifier: MIT
#pragma once

#include "posix/UniqueFd.h"

#include <string>

// One watchdog per install folder: an exclusive lock on a file there, held for the life of the
// process. A service and a desktop session started from the same folder would otherwise double
// every restart and every mail. The lock is released by the kernel when the process ends, however
// it ends, and is not inherited by the commands the program starts.
//
// Nobody outside the folder's users may open the lock file, or one flock of theirs would turn every
// start away: a new one is 0660 in a setgid folder (the operators' group of a shared install) and
// 0600 elsewhere, whatever the umask. The lock is only ever a regular file, never reached through a
// link: a link planted in its place is refused, not followed.
class InstanceLock
{
public:
    enum class State
    {
        Acquired,      // this process is the one watchdog of the folder
        HeldElsewhere, // another process holds the lock
        Unavailable,   // the lock can be neither made nor taken (problem() says why): the program must not run
    };

    explicit InstanceLock(const std::string& path);
    State state() const { return m_state; }
    // Why the lock is unavailable: the path and the reason, one line.
    const std::string& problem() const { return m_problem; }

private:
    void fail(const std::string& path, const std::string& why);

    UniqueFd m_fd;
    State m_state = State::Unavailable;
    std::string m_problem;
};
