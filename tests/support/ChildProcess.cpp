// SPDX-License-Identifier: MIT
#include "support/ChildProcess.h"

#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

namespace {

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& changes)
{
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos) {
            merged[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    for (const auto& [name, value] : changes) {
        if (value.empty()) {
            merged.erase(name);
        } else {
            merged[name] = value;
        }
    }
    std::vector<std::string> list;
    for (const auto& [name, value] : merged) {
        list.push_back(name + "=" + value);
    }
    return list;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (auto& text : texts) {
        result.push_back(text.data());
    }
    result.push_back(nullptr);
    return result;
}

} // namespace

ChildProcess::ChildProcess(Options options)
{
    if (options.argv.empty()) {
        throw std::runtime_error("ChildProcess: no program");
    }
    std::vector<std::string> environment = mergedEnvironment(options.environment);
    auto envp = pointers(environment);
    auto argv = pointers(options.argv);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, options.standardOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (options.standardErrorDescriptor >= 0) {
        posix_spawn_file_actions_adddup2(&actions, options.standardErrorDescriptor, 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, options.standardError.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    }
    if (options.descriptor3 >= 0) {
        posix_spawn_file_actions_adddup2(&actions, options.descriptor3, 3);
    }
    if (!options.workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, options.workingFolder.c_str());
    }
    // The test runner may block signals; the child starts with none blocked and default handling.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const int error = ::posix_spawnp(&m_pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        m_pid = -1;
        throw std::runtime_error("ChildProcess: cannot start " + options.argv[0] + ": " + std::strerror(error));
    }
}

ChildProcess::~ChildProcess()
{
    if (m_pid > 0 && !m_status) {
        stop(std::chrono::seconds(5));
    }
}

bool ChildProcess::reap(bool block)
{
    if (m_status) {
        return true;
    }
    int status = 0;
    pid_t result = 0;
    do {
        result = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == m_pid) {
        m_status = status;
        return true;
    }
    return false;
}

bool ChildProcess::running()
{
    return m_pid > 0 && !reap(false);
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds bound)
{
    if (WaitUntil([this] { return reap(false); }, bound)) {
        return m_status;
    }
    return std::nullopt;
}

int ChildProcess::stop(std::chrono::milliseconds grace)
{
    if (m_pid <= 0) {
        return -1;
    }
    if (!reap(false)) {
        ::kill(m_pid, SIGTERM);
        if (!waitForExit(grace)) {
            ::kill(m_pid, SIGKILL);
            reap(true);
        }
    }
    return *m_status;
}

CommandResult RunCommand(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment,
                         std::chrono::milliseconds bound)
{
    TemporaryFolder folder("sentrybell-command");
    CommandResult result;
    {
        ChildProcess child({argv, environment, folder / "out", folder / "err", {}, -1});
        const auto status = child.waitForExit(bound);
        if (status && WIFEXITED(*status)) {
            result.exitCode = WEXITSTATUS(*status);
        }
    }
    result.output = ReadWholeFile(folder / "out");
    result.errors = ReadWholeFile(folder / "err");
    return result;
}
