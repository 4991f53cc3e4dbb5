// SPDX-License-Identifier: MIT
#include "TempFolder.h"
#include "posix/PosixFileSystem.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class AppendToFile : public ::testing::Test
{
protected:
    std::string log() const { return folder / "iiserr.txt"; }

    TempFolder folder;
    PosixFileSystem files;
};

TEST_F(AppendToFile, ANewLogFollowsTheUmaskInAnOrdinaryFolder)
{
    ScopedUmask umask(022);
    ASSERT_TRUE(files.appendToFile(log(), "one\r\n"));
    ASSERT_TRUE(files.appendToFile(log(), "two\r\n"));
    EXPECT_EQ(readBytes(log()), "one\r\ntwo\r\n");
    EXPECT_EQ(modeOf(log()), 0644U);
}

TEST_F(AppendToFile, ANewLogInASetgidFolderIsWritableByTheFolderGroupWhateverTheUmask)
{
    ASSERT_EQ(::chmod(folder.path().c_str(), 03775), 0);
    {
        ScopedUmask umask(022);
        ASSERT_TRUE(files.appendToFile(log(), "x"));
        EXPECT_EQ(modeOf(log()), 0664U);
    }
    ScopedUmask umask(077);
    ASSERT_TRUE(files.appendToFile(folder / "other.txt", "x"));
    EXPECT_EQ(modeOf(folder / "other.txt"), 0660U);
}

TEST_F(AppendToFile, AnExistingLogKeepsItsMode)
{
    ASSERT_EQ(::chmod(folder.path().c_str(), 02775), 0);
    writeBytes(log(), "old\r\n");
    ASSERT_EQ(::chmod(log().c_str(), 0640), 0);
    ASSERT_TRUE(files.appendToFile(log(), "new\r\n"));
    EXPECT_EQ(readBytes(log()), "old\r\nnew\r\n");
    EXPECT_EQ(modeOf(log()), 0640U);
}

TEST_F(AppendToFile, AppendingIntoAMissingFolderFails)
{
    EXPECT_FALSE(files.appendToFile(folder / "missing/iiserr.txt", "x"));
}

// Appends as another user (no supplementary groups but `group`) in a child process; true when the
// append succeeded.
bool appendAs(uid_t user, gid_t group, const std::string& path, const std::string& line)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::umask(022);
        const gid_t groups[] = {group};
        if (::setgroups(1, groups) != 0 || ::setresgid(group, group, group) != 0 ||
            ::setresuid(user, user, user) != 0) {
            ::_exit(2);
        }
        PosixFileSystem files;
        ::_exit(files.appendToFile(path, line) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(AppendToFile, OperatorsOfASharedInstallAppendToTheLogTheFirstOfThemMade)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as two operators";
    }
    // The shared install folder: root's, with the operators' group, setgid and sticky.
    constexpr uid_t FirstOperator = 60001;
    constexpr uid_t SecondOperator = 60002;
    constexpr gid_t Operators = 60000;
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0) << "the temporary folder's parents are searchable";
    ASSERT_EQ(::chown(folder.path().c_str(), 0, Operators), 0);
    ASSERT_EQ(::chmod(folder.path().c_str(), 03775), 0);

    ASSERT_TRUE(appendAs(FirstOperator, Operators, log(), "first\r\n"));
    EXPECT_TRUE(appendAs(SecondOperator, Operators, log(), "second\r\n"));
    EXPECT_EQ(readBytes(log()), "first\r\nsecond\r\n");
    EXPECT_FALSE(appendAs(SecondOperator, Operators + 1, log(), "outsider\r\n")) << "outside the group: no access";
}

using StageFile = AppendToFile;

TEST_F(StageFile, APageCopyFollowsTheUmaskAndIsSharedWithTheGroupOfASetgidFolder)
{
    ScopedUmask umask(022);
    const std::string copy = folder / "check.htm";
    auto staged = files.stageFile(copy, "check.htm.part");
    ASSERT_TRUE(staged);
    ASSERT_TRUE(staged->write("<html>ok</html>"));
    ASSERT_TRUE(staged->commit());
    EXPECT_EQ(readBytes(copy), "<html>ok</html>");
    EXPECT_EQ(modeOf(copy), 0644U) << "the page is no secret: readable as any downloaded file";

    ASSERT_EQ(::chmod(folder.path().c_str(), 02770), 0);
    ScopedUmask strict(077);
    staged = files.stageFile(copy, "check.htm.part");
    ASSERT_TRUE(staged);
    ASSERT_TRUE(staged->write("<html>again</html>"));
    ASSERT_TRUE(staged->commit());
    EXPECT_EQ(modeOf(copy), 0660U);
}

} // namespace
