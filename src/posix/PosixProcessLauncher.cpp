// SPDX-License-Identifier: MIT
#include "posix/PosixProcessLauncher.h"

#include "posix/SystemLog.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// Owns a posix_spawnattr_t and a posix_spawn_file_actions_t for one start.
struct SpawnSetup
{
    posix_spawnattr_t attributes{};
    posix_spawn_file_actions_t actions{};
    bool ready = false;

    SpawnSetup()
    {
        if (posix_spawnattr_init(&attributes) != 0) {
            return;
        }
        if (posix_spawn_file_actions_init(&actions) != 0) {
            posix_spawnattr_destroy(&attributes);
            return;
        }
        ready = true;
        sigset_t none;
        sigemptyset(&none);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        // Sockets and files this program holds open are none of the command's business.
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif
    }
    ~SpawnSetup()
    {
        if (ready) {
            posix_spawn_file_actions_destroy(&actions);
            posix_spawnattr_destroy(&attributes);
        }
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

void waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

PosixProcessLauncher::PosixProcessLauncher(Reporter report) : m_report(std::move(report))
{
    if (!m_report) {
        m_report = ReportToSystemLog;
    }
}

PosixProcessLauncher::~PosixProcessLauncher()
{
    reapFinished();
}

bool PosixProcessLauncher::start(const std::string& program, const std::vector<std::string>& arguments)
{
    reapFinished();

    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str())); // NOLINT: posix_spawn's argv is not const
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str())); // NOLINT
    }
    argv.push_back(nullptr);

    SpawnSetup setup;
    if (!setup.ready) {
        m_report("could not start \"" + program + "\": out of resources");
        return false;
    }
    pid_t pid = -1;
    // glibc reports a failed exec (missing file, no execute permission, not a program) here, in the
    // return value, rather than as an exit status of a child.
    const int error = ::posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
    if (error != 0) {
        m_report("could not start \"" + program + "\": " + std::generic_category().message(error));
        return false;
    }
    reapLater(pid);
    return true;
}

void PosixProcessLauncher::reapLater(pid_t pid)
{
    try {
        std::thread(waitFor, pid).detach();
    } catch (const std::system_error&) {
        m_unreaped.push_back(pid);
    }
}

void PosixProcessLauncher::reapFinished()
{
    std::erase_if(m_unreaped, [](pid_t pid) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        return done == pid || (done < 0 && errno == ECHILD);
    });
}
