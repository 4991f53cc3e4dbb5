// SPDX-License-Identifier: MIT
#include "posix/InstanceLock.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class InstanceLockTest : public ::testing::Test
{
protected:
    InstanceLockTest()
    {
        char pattern[] = "/tmp/sentrybell-lock.XXXXXX";
        m_folder = mkdtemp(pattern);
    }
    ~InstanceLockTest() override { std::filesystem::remove_all(m_folder); }
    std::string lockPath() const { return m_folder + "/.sentrybell.lock"; }

    std::string m_folder;
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

TEST_F(InstanceLockTest, AFolderThatCannotHoldTheLockLeavesTheProgramUnguarded)
{
    std::ofstream(m_folder + "/file") << "x";
    InstanceLock lock(m_folder + "/file/.sentrybell.lock");
    EXPECT_EQ(lock.state(), InstanceLock::State::Unavailable);
}

} // namespace
