// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FakeInternet.h"
#include "fakes/FakeMailLibrary.h"
#include "fakes/FakePickers.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeProcessLauncher.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeUi.h"
#include "shell/Form1.h"
#include "shell/TimerSchedule.h"

#include <chrono>
#include <optional>

// Follows Timer1 as the real timer would (TimerSchedule), with due times from the fake clock.
class FakeTimerDriver
{
public:
    FakeTimerDriver(Form1& form, FakeClock& clock);
    // When the next tick is due, or nothing while the timer is disabled (or has no positive interval).
    std::optional<std::chrono::steady_clock::time_point> dueAt() const { return m_schedule.dueAt(); }
    // Moves the clock to the due time and runs one tick. False when no tick is due.
    bool fireNext();

private:
    Form1& m_form;
    FakeClock& m_clock;
    TimerSchedule m_schedule;
};

// A Form1 over fakes of every port, for the core tests.
struct FormHarness
{
    FakeClock clock;
    FakeEnvironment environment;
    FakeFileSystem files;
    FakeEncoding encoding;
    FakeMessageBox messageBox;
    FakeTray tray;
    FakeLifetime lifetime;
    FakeShell shell;
    FakeRegistry registry;
    FakeFileChooser fileChooser;
    FakeFolderChooser folderChooser;
    FakeInternetClient internet;
    FakeMailLibrary mail;
    FakeProcessLauncher launcher;
    FakeOperatorReport report;
    Form1 form{services()};
    FakeTimerDriver timer{form, clock};

    Form1Services services()
    {
        Form1Services s{clock, environment, files, encoding, messageBox, tray, lifetime};
        s.shell = &shell;
        s.registry = &registry;
        s.fileChooser = &fileChooser;
        s.folderChooser = &folderChooser;
        s.internet = &internet;
        s.mail = &mail;
        s.launcher = &launcher;
        s.report = &report;
        return s;
    }
};
