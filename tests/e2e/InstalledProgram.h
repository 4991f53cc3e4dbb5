// SPDX-License-Identifier: MIT
#pragma once

#include "support/ChildProcess.h"
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// A real program as built (the desktop program `sentrybell` or the service `sentrybelld`), put into an
// install folder of its own, as an operator would have it: the binary beside its SETTING.ini and
// beside a recorder standing in for the `iisreset` script. The program finds both in the folder of its own executable,
// so each test has a private install. What the recorder receives and what each started instance prints go to a scratch
// folder beside the install, so the install folder holds only what the program makes.
class InstalledProgram
{
public:
    // Throws std::runtime_error when the built program cannot be found or copied. The recorder runs
    // `recorderAlso`, a shell command, after recording each start (a signal to its caller, say).
    explicit InstalledProgram(const std::string& program = "sentrybell", const std::string& recorderAlso = "");

    // Puts one more built program into the folder (the other of the two), to be started by name.
    void install(const std::string& program) const;

    const std::string& folder() const { return m_folder; }
    // The path of `name` in the install folder.
    std::string file(const std::string& name) const { return m_folder + "/" + name; }
    void writeSettings(const std::string& text) const;
    // The names in the install folder.
    std::set<std::string> entries() const;
    // The switches the iisreset recorder received, one line per start ("/RESTART\n").
    std::string restartCommands() const;

    // Starts one more instance from the install folder: under Qt's offscreen platform, with no proxy
    // variables, unless `environment` says otherwise (an empty value removes a variable). Its standard
    // error goes to a file, or to `standardError`, a descriptor of the test, when one is given. The
    // program is the folder's own unless `program` names another one installed there.
    ChildProcess& start(const std::map<std::string, std::string>& environment = {}, int standardError = -1,
                        const std::string& program = {});
    // How many instances were started so far: the number the next one gets.
    std::size_t startedCount() const { return m_instances.size(); }
    // What the instance of that number (0 for the first started) wrote to standard error.
    std::string standardError(std::size_t instance = 0) const;

private:
    TemporaryFolder m_root{"sentrybell e2e"};
    std::string m_program;
    std::string m_folder;
    std::string m_scratch;
    std::vector<std::unique_ptr<ChildProcess>> m_instances;
};

// The recipients, sender and subject of the mail settings the scenarios use.
inline constexpr const char* AlertRecipient = "ops@example.test";
inline constexpr const char* AlertSender = "watch@example.test";
inline constexpr const char* AlertSubject = "web server down";

// A SETTING.ini that starts the checks at once: every field filled (the mail account and password
// are one space each, as for a mail server without login), the log iiserr.txt and the page copy in
// the install folder, a check every second with a two-second receive timeout, the auto-logon fields
// stored in the file so that the registry store is never consulted. `restart` is "0" for
// "IIS ReStart" and "1" for "System ReStart"; `cc` the CC field as the operator typed it.
std::string MonitoringSettings(const InstalledProgram& program, const std::string& url, const std::string& smtp,
                               const std::string& restart, const std::string& cc);
