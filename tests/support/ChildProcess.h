// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A program started by a test, with its standard output and error going to files. The child gets the
// test's own environment with the given variables changed (an empty value removes one). The
// destructor ends a child that still runs (SIGTERM, then SIGKILL after a grace period) and reaps it,
// so a failed test never leaves one behind.
class ChildProcess
{
public:
    struct Options
    {
        std::vector<std::string> argv; // argv[0] is the program: a path, or a name looked up in PATH
        std::map<std::string, std::string> environment;
        std::string standardOutput = "/dev/null"; // files; created or truncated
        std::string standardError = "/dev/null";
        std::string workingFolder;        // empty: the test's own
        int descriptor3 = -1;             // a descriptor of the test handed to the child as its descriptor 3
        int standardErrorDescriptor = -1; // a descriptor of the test to be its standard error, not the file
    };

    // Throws std::runtime_error when the program cannot be started.
    explicit ChildProcess(Options options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    int pid() const { return m_pid; }
    // Still running (not yet ended and reaped).
    bool running();
    // Waits at most `bound` for the child to end; its wait status (see waitpid) once it has ended.
    std::optional<int> waitForExit(std::chrono::milliseconds bound);
    // SIGTERM, then SIGKILL when it has not ended within `grace`; returns the wait status.
    int stop(std::chrono::milliseconds grace = std::chrono::seconds(10));

private:
    bool reap(bool block);

    int m_pid = -1;
    std::optional<int> m_status;
};

// What a short command printed and how it ended.
struct CommandResult
{
    int exitCode = -1; // -1 when it did not end normally within the bound
    std::string output;
    std::string errors;
};

// Runs a command to its end (at most `bound`, then it is killed), in the test's environment changed
// by `environment`.
CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& environment = {},
                         std::chrono::milliseconds bound = std::chrono::seconds(30));

// Waits until `condition` holds, checking every 50 ms, at most `bound`; true when it came to hold.
template <typename Condition> bool WaitUntil(Condition condition, std::chrono::milliseconds bound)
{
    const auto end = std::chrono::steady_clock::now() + bound;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
