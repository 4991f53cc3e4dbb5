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
    // Moves the clock to the due time and delivers one tick, as a view does. False when no tick is due.
    bool fireNext();

private:
    Form1& m_form;
    FakeClock& m_clock;
    TimerSchedule m_schedule;
};

// The ports a test brings itself, in place of the fakes; a port left null is the fake's.
struct PortChoice
{
    Clock* clock = nullptr;
    Environment* environment = nullptr;
    FileSystem* files = nullptr;
    TextEncoding* encoding = nullptr;
    MessageBoxService* messageBox = nullptr;
    TrayService* tray = nullptr;
    AppLifetime* lifetime = nullptr;
    ShellService* shell = nullptr;
    InternetClient* internet = nullptr;
    MailLibrary* mail = nullptr;
    ProcessLauncher* launcher = nullptr;
    RegistryStore* registry = nullptr;
    FileChooser* fileChooser = nullptr;
    FolderChooser* folderChooser = nullptr;
    OperatorReport* report = nullptr;
};

// A fake of every port, and a made-up platform's notice, so that what the window shows and opens is
// seen to be what it is given.
struct FakePorts
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
    PlatformNotice notice{"動作の説明は", "こちら", "notes.html"};

    // Every port wired: the chosen ones, and the fakes for the rest.
    Form1Services services(const PortChoice& chosen = {});
};

// A Form1 over fakes of every port but those the test chooses, for the core tests.
struct FormHarness : FakePorts
{
    explicit FormHarness(const PortChoice& chosen = {}) : form(services(chosen)) {}

    Form1 form;
    FakeTimerDriver timer{form, clock};
};
