// SPDX-License-Identifier: MIT
#pragma once

#include "posix/InstanceLock.h"

#include <optional>
#include <string>

class Environment;

// Why a start must not go on, for both Linux programs to say in their own way.
struct StartRefusal
{
    enum class Reason
    {
        RootWithForeignSettings, // root, and others than root can change the settings
        AlreadyRunning,          // another watchdog holds the install folder
        NoLock,                  // the folder's lock can be neither made nor taken
    };
    Reason reason;
    std::string text;   // one line, naming the file or the folder
    std::string folder; // the install folder
};

// What both Linux programs check before they read anything: root takes its settings only from where
// root alone can change them (RootRefusal), and one watchdog runs per install folder, the desktop
// program and the service alike (the same InstanceLock file). While the guard lives and no refusal
// was found, this process holds the folder.
class StartGuard
{
public:
    explicit StartGuard(const Environment& environment);
    const std::optional<StartRefusal>& refusal() const { return m_refusal; }

private:
    std::optional<InstanceLock> m_lock;
    std::optional<StartRefusal> m_refusal;
};

// Says why on standard error, and in the system log where an administrator must look (everything
// but a second start, which is no fault).
void ReportStartRefusal(const StartRefusal& refusal);
