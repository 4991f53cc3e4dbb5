// SPDX-License-Identifier: MIT
#pragma once

#include "posix/IniRegistryStore.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixProcessLauncher.h"
#include "posix/Utf8Encoding.h"
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <filesystem>
#include <string>
#include <vector>

// The disk part of a RunningWatchdog made real: the log, the page copy and the registry store are
// files in a folder of its own, which is also the program's folder, and iisreset is a program there
// that is really started: a script that records its arguments in iisreset.calls, until a test puts
// another in its place or takes it away.
struct RealDisk
{
    RealDisk()
    {
        std::filesystem::create_directory(logFolder());
        std::filesystem::create_directory(saveFolder());
        WriteFile(folder / "iisreset", "#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/iisreset.calls\"\n",
                  std::filesystem::perms(0755));
    }

    std::string programFolder() const { return folder.path(); }
    std::string logFolder() const { return folder / "log"; }
    std::string logPath() const { return logFolder() + "/iiserr.txt"; }
    std::string saveFolder() const { return folder / "save"; }
    std::string read(const std::string& path) const { return ReadWholeFile(path); }
    std::string iisresetCalls() const { return read(folder / "iisreset.calls"); }

    TemporaryFolder folder{"sentrybell watchdog "};
    std::vector<std::string> launchReports; // what the launcher reported, in order

    PosixFileSystem files;
    Utf8Encoding encoding;
    PosixProcessLauncher launcher{[this](const std::string& text) { launchReports.push_back(text); }};
    // Its folder is not there: a test that saves the logon makes it, or a file in its place.
    IniRegistryStore registry{files, folder / "etc/registry.ini"};
};
