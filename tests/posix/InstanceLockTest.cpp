// SPDX-License-Identifier: MIT
#include "posix/InstanceLock.h"

#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class InstanceLockTest : public ::testing::Test
{
protected:
    std::string lockPath() const { return folder / ".sentrybell.lock"; }

    TemporaryFolder folder;
};

TEST_F(InstanceLockTest, SecondInstanceOfTheSameFolderIsTurnedAway)
{
    InstanceLock first(lockPath());
    ASSERT_EQ(first.state(), InstanceLock::State::Acquired);
    InstanceLock second(lockPath());
    EXPECT_EQ(second.state(), InstanceLock::State::HeldElsewhere);
}

TEST_F(InstanceLockTest, LockIsFreeAgainWhenTheHolderIsGone)
{
    {
        InstanceLock first(lockPath());
        ASSERT_EQ(first.state(), InstanceLock::State::Acquired);
    }
    InstanceLock next(lockPath());
    EXPECT_EQ(next.state(), InstanceLock::State::Acquired);
}

TEST_F(InstanceLockTest, CommandsStartedByTheWatchdogDoNotKeepTheLock)
{
    auto holder = std::make_unique<InstanceLock>(lockPath());
    ASSERT_EQ(holder->state(), InstanceLock::State::Acquired);
    // A child started while the lock is held (as a restart command is) and still running after
    // the watchdog has gone must not keep a restarted watchdog out.
    int execed[2];
    ASSERT_EQ(pipe2(execed, O_CLOEXEC), 0);
    const pid_t child = fork();
    if (child == 0) {
        execlp("sleep", "sleep", "5", static_cast<char*>(nullptr));
        _exit(127);
    }
    // The pipe reads end-of-file once the child's exec has closed its copy of the write end.
    close(execed[1]);
    char byte = 0;
    ASSERT_EQ(read(execed[0], &byte, 1), 0);
    close(execed[0]);
    holder.reset();
    InstanceLock restarted(lockPath());
    EXPECT_EQ(restarted.state(), InstanceLock::State::Acquired);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

TEST_F(InstanceLockTest, ALockThatCannotBeMadeOrTakenSaysWhy)
{
    WriteFile(folder / "file", "x");
    WriteFile(folder / "victim", "root's");
    ASSERT_EQ(::symlink((folder / "victim").c_str(), lockPath().c_str()), 0);
    ASSERT_EQ(::symlink((folder / "made").c_str(), (folder / "dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    const struct
    {
        std::string path;
        std::string why;
    } rows[] = {
        {folder / "file/.sentrybell.lock", "Not a directory"},
        {lockPath(), "it is a symbolic link"},
        {folder / "dangling", "it is a symbolic link"},
        {folder / "fifo", "it is not a regular file"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        InstanceLock lock(row.path);
        EXPECT_EQ(lock.state(), InstanceLock::State::Unavailable);
        EXPECT_EQ(lock.problem(), "cannot make or take the lock \"" + row.path + "\": " + row.why);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "made"));
}

TEST_F(InstanceLockTest, OnlyTheFolderUsersMayOpenTheLock)
{
    // Whatever the umask: 0600 in an ordinary folder, the group's too in a setgid one.
    for (const mode_t umask : {mode_t{0}, mode_t{077}}) {
        const ScopedUmask scoped(umask);
        for (const mode_t folderMode : {mode_t{0755}, mode_t{02775}}) {
            std::filesystem::remove(lockPath());
            ASSERT_EQ(::chmod(folder.path().c_str(), folderMode), 0);
            {
                InstanceLock lock(lockPath());
                EXPECT_EQ(lock.state(), InstanceLock::State::Acquired);
            }
            EXPECT_EQ(ModeOf(lockPath()), folderMode == 0755 ? 0600U : 0660U) << "umask " << umask;
        }
    }
    // A lock of an older install, open to everyone, is closed to others by its owner's next start.
    ASSERT_EQ(::chmod(lockPath().c_str(), 0664), 0);
    InstanceLock lock(lockPath());
    EXPECT_EQ(ModeOf(lockPath()), 0660U);
}

} // namespace
