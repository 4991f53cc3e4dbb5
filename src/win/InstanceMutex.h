// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <windows.h>

// One watchdog per install folder, across every session of the machine: a named mutex in the global
// namespace, held for the life of the process. A second copy (another administrator's logon, a start
// by hand beside the scheduled one) would otherwise double every restart and every mail. Windows
// releases the mutex when the process ends, however it ends.
class InstanceMutex
{
public:
    enum class State
    {
        Acquired,      // this process is the one watchdog of the folder
        HeldElsewhere, // another process holds it
        Unavailable,   // the mutex cannot be made: the program runs unguarded rather than not at all
    };

    explicit InstanceMutex(const std::string& folder);
    ~InstanceMutex();
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;
    State state() const { return m_state; }

private:
    HANDLE m_mutex = nullptr;
    State m_state = State::Unavailable;
};

// The mutex's name for a folder: the same for every spelling Windows treats as the same folder
// (letter case, a trailing separator, "/" for "\").
std::wstring InstanceMutexName(const std::string& folder);

// The registered message by which a second start from a folder asks that folder's watchdog for its
// window (posted to every top-level window; only the one watchdog of the folder knows it).
UINT ShowRequestMessage(const std::string& folder);
