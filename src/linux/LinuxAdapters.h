// SPDX-License-Identifier: MIT
#pragma once

#include "net/CurlInternetClient.h"
#include "net/CurlMailer.h"
#include "posix/IniRegistryStore.h"
#include "posix/PosixClock.h"
#include "posix/PosixEnvironment.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixProcessLauncher.h"
#include "posix/SystemLog.h"
#include "posix/Utf8Encoding.h"
#include "shell/Form1.h"

#include <functional>

class FileChooser;
class FolderChooser;

// What differs between the two Linux programs: the window's side of the ports. The desktop program
// gives its Qt adapters, the service its headless ones.
struct ViewPorts
{
    MessageBoxService& messageBox;
    TrayService& tray;
    AppLifetime& lifetime;
    ShellService& shell;
    FileChooser& fileChooser;
    FolderChooser& folderChooser;
};

// The adapters both Linux programs run on, wired once: the clock, the environment, the files (their
// refusals to the system log), the UTF-8 encoding, the auto-logon store in /etc/sentrybell, the
// libcurl clients for the page and the mail, the process launcher, and the operator's reports to
// standard error and the system log.
class LinuxAdapters
{
public:
    // `whileWaiting` is called at least once a second while a fetch or a mail waits for its server
    // (the service's keepalive); none for the desktop program.
    explicit LinuxAdapters(std::function<void()> whileWaiting = {});
    LinuxAdapters(const LinuxAdapters&) = delete;
    LinuxAdapters& operator=(const LinuxAdapters&) = delete;

    // Every port of the model, the view's side from `view`.
    Form1Services services(const ViewPorts& view);
    // The mail account is read from the window at every message, as the other mail fields are.
    void takeMailAccountFrom(Form1& form);

    PosixClock clock;
    PosixEnvironment environment;

private:
    static CurlMailer::Options mailOptions(std::function<void()> whileWaiting);

    PosixFileSystem m_files{ReportToSystemLog};
    Utf8Encoding m_encoding;
    IniRegistryStore m_registry{m_files, "/etc/sentrybell/registry.ini"};
    CurlInternetClient m_internet;
    PosixProcessLauncher m_launcher;
    CurlMailer m_mailer;
    SystemLogReport m_report;
};
