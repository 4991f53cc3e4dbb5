// SPDX-License-Identifier: MIT
#include "e2e/InstalledProgram.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#ifndef SENTRYBELL_APP_DIR
#error "SENTRYBELL_APP_DIR must name the build's app folder"
#endif

namespace fs = std::filesystem;

InstalledProgram::InstalledProgram(const std::string& program, const std::string& recorderAlso) : m_program(program)
{
    m_folder = m_root / "sentrybell";
    m_scratch = m_root / "scratch";
    fs::create_directory(m_folder);
    fs::create_directory(m_scratch);
    fs::create_directory(m_root / "runtime");
    fs::permissions(m_root / "runtime", fs::perms::owner_all);

    install(program);
    WriteFile(file("iisreset"),
              "#!/bin/sh\n"
              "# Records the switch, as the real stand-in would have received it, and does nothing else.\n"
              "printf '%s\\n' \"$*\" >> '" +
                  m_scratch + "/iisreset.calls'\n" + recorderAlso + "\n",
              fs::perms(0755));
}

void InstalledProgram::install(const std::string& program) const
{
    // A hard link where the build and the temporary folder share a file system; a copy otherwise.
    // Either way /proc/self/exe names the install folder, not the build's.
    const std::string built = std::string(SENTRYBELL_APP_DIR) + "/" + program;
    std::error_code linkError;
    fs::create_hard_link(built, file(program), linkError);
    if (linkError) {
        fs::copy_file(built, file(program));
    }
}

void InstalledProgram::writeSettings(const std::string& text) const
{
    WriteFile(file("SETTING.ini"), text, fs::perms(0600));
}

std::set<std::string> InstalledProgram::entries() const
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::string InstalledProgram::restartCommands() const
{
    return ReadWholeFile(m_scratch + "/iisreset.calls");
}

ChildProcess& InstalledProgram::start(const std::map<std::string, std::string>& environment, int standardError,
                                      const std::string& program)
{
    std::map<std::string, std::string> merged{
        {"QT_QPA_PLATFORM", "offscreen"},
        {"XDG_RUNTIME_DIR", m_root / "runtime"},
        {"DISPLAY", ""},
        {"WAYLAND_DISPLAY", ""},
        // The checks go straight to the loopback servers.
        {"http_proxy", ""},
        {"https_proxy", ""},
        {"HTTP_PROXY", ""},
        {"HTTPS_PROXY", ""},
        {"all_proxy", ""},
        {"ALL_PROXY", ""},
    };
    for (const auto& [name, value] : environment) {
        merged[name] = value;
    }
    const std::string number = std::to_string(m_instances.size());
    ChildProcess::Options options;
    options.argv = {file(program.empty() ? m_program : program)};
    options.environment = merged;
    options.standardOutput = m_scratch + "/stdout." + number;
    options.standardError = m_scratch + "/stderr." + number;
    options.standardErrorDescriptor = standardError;
    m_instances.push_back(std::make_unique<ChildProcess>(options));
    return *m_instances.back();
}

std::string InstalledProgram::standardError(std::size_t instance) const
{
    return ReadWholeFile(m_scratch + "/stderr." + std::to_string(instance));
}

std::string MonitoringSettings(const InstalledProgram& program, const std::string& url, const std::string& smtp,
                               const std::string& restart, const std::string& cc)
{
    const std::vector<std::string> lines{
        "[MAIL]",
        "ADDRESS=" + std::string(AlertSender),
        "MAILID=\" \"",
        "PASSWORD=\" \"",
        "SMTP=" + smtp,
        "SUBJECT=" + std::string(AlertSubject),
        "SEND=" + std::string(AlertRecipient),
        "CC=" + cc,
        "[SETTING]",
        "LOGPATH=" + program.file("iiserr.txt"),
        "SAVEFOLDER=" + program.folder(),
        "TIMEOUT=2",
        "TIMER=1",
        "URL=" + url,
        "KIDOU=0",
        "LOGIN=0",
        "ID=operator",
        "LOGINPASS=secret",
        "PROXY=",
        "RESTART=" + restart,
    };
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}
