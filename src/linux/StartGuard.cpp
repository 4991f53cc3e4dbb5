// SPDX-License-Identifier: MIT
#include "linux/StartGuard.h"

#include "common/Environment.h"
#include "config/SettingsFile.h"
#include "posix/RootTrust.h"
#include "posix/SystemLog.h"

#include <iostream>

StartGuard::StartGuard(const Environment& environment)
{
    const std::string installFolder = environment.executableFolder();
    if (auto refusal = RootRefusal(SettingsFilePath(environment))) {
        m_refusal = StartRefusal{StartRefusal::Reason::RootWithForeignSettings, std::move(*refusal), installFolder};
        return;
    }
    m_lock.emplace(installFolder + "/.sentrybell.lock");
    if (m_lock->state() == InstanceLock::State::HeldElsewhere) {
        m_refusal = StartRefusal{StartRefusal::Reason::AlreadyRunning,
                                 "already running from " + installFolder + "; this one ends", installFolder};
    } else if (m_lock->state() == InstanceLock::State::Unavailable) {
        // Running without the guard could double every restart and every mail.
        m_refusal = StartRefusal{StartRefusal::Reason::NoLock,
                                 m_lock->problem() + "; refusing to run without the one-watchdog guard", installFolder};
    }
}

void ReportStartRefusal(const StartRefusal& refusal)
{
    if (refusal.reason == StartRefusal::Reason::AlreadyRunning) {
        std::cerr << "sentrybell: " << refusal.text << '\n';
    } else {
        ReportToSystemLog(refusal.text);
    }
}
