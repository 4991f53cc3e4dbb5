// SPDX-License-Identifier: MIT
#pragma once

#include "posix/UniqueFd.h"

#include <string>

// One watchdog per install folder: an exclusive lock on a file there, held for the life of the
// process. A service and a desktop session started from the same folder would otherwise double
// every restart and every mail. The lock is released by the kernel when the process ends, however
// it ends, and is not inherited by the commands the program starts.
class InstanceLock
{
public:
    enum class State
    {
        Acquired,      // this process is the one watchdog of the folder
        HeldElsewhere, // another process holds the lock
        Unavailable,   // the lock file cannot be opened: the program runs unguarded rather than not at all
    };

    explicit InstanceLock(const std::string& path);
    State state() const { return m_state; }

private:
    UniqueFd m_fd;
    State m_state = State::Unavailable;
};
