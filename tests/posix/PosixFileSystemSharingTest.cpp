// SPDX-License-Identifier: MIT
#include "posix/PosixFileSystem.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class AppendToFile : public ::testing::Test
{
protected:
    std::string log() const { return folder / "iiserr.txt"; }

    TemporaryFolder folder;
    std::vector<std::string> reports;
    PosixFileSystem files{[this](const std::string& text) { reports.push_back(text); }};
};

TEST_F(AppendToFile, ANewLogFollowsTheUmaskInAnOrdinaryFolder)
{
    ScopedUmask umask(022);
    ASSERT_TRUE(files.appendToFile(log(), "one\r\n"));
    ASSERT_TRUE(files.appendToFile(log(), "two\r\n"));
    EXPECT_EQ(ReadWholeFile(log()), "one\r\ntwo\r\n");
    EXPECT_EQ(ModeOf(log()), 0644U);
}

TEST_F(AppendToFile, ANewLogInASetgidFolderIsWritableByTheFolderGroupWhateverTheUmask)
{
    ASSERT_EQ(::chmod(folder.path().c_str(), 03775), 0);
    {
        ScopedUmask umask(022);
        ASSERT_TRUE(files.appendToFile(log(), "x"));
        EXPECT_EQ(ModeOf(log()), 0664U);
    }
    ScopedUmask umask(077);
    ASSERT_TRUE(files.appendToFile(folder / "other.txt", "x"));
    EXPECT_EQ(ModeOf(folder / "other.txt"), 0660U);
}

TEST_F(AppendToFile, AnExistingLogKeepsItsMode)
{
    ASSERT_EQ(::chmod(folder.path().c_str(), 02775), 0);
    WriteFile(log(), "old\r\n");
    ASSERT_EQ(::chmod(log().c_str(), 0640), 0);
    ASSERT_TRUE(files.appendToFile(log(), "new\r\n"));
    EXPECT_EQ(ReadWholeFile(log()), "old\r\nnew\r\n");
    EXPECT_EQ(ModeOf(log()), 0640U);
}

TEST_F(AppendToFile, OnlyARegularFileReachedWithoutALinkIsWritten)
{
    // What a member of the group can plant where a root run writes its log.
    const std::string victim = folder / "root-only";
    WriteFile(victim, "root's\n");
    ASSERT_EQ(::symlink(victim.c_str(), (folder / "to-file").c_str()), 0);
    ASSERT_EQ(::symlink((folder / "made-by-link").c_str(), (folder / "dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(::mkdir((folder / "folder").c_str(), 0700), 0);
    const struct
    {
        std::string path;
        std::string what;
    } rows[] = {
        {folder / "to-file", "a symbolic link"},
        {folder / "dangling", "a symbolic link"},
        {folder / "fifo", "a FIFO"},
        {folder / "folder", "a folder"},
        {"/dev/null", "a device"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        reports.clear();
        EXPECT_FALSE(files.appendToFile(row.path, "line\r\n"));
        ASSERT_EQ(reports.size(), 1U);
        EXPECT_NE(reports[0].find("\"" + row.path + "\" is " + row.what + ", not a regular file"), std::string::npos)
            << reports[0];
    }
    EXPECT_EQ(ReadWholeFile(victim), "root's\n");
    EXPECT_FALSE(files.entryExists(folder / "made-by-link"));
    EXPECT_FALSE(files.createIfMissing(folder / "dangling")) << "the page copy's placeholder follows no link either";
    EXPECT_FALSE(files.entryExists(folder / "made-by-link"));
}

TEST_F(AppendToFile, ALineTheDiskCannotHoldIsLeftOutWhole)
{
    WriteFile(log(), "first\r\n");
    bool written = true;
    {
        const ScopedFileSizeLimit fullDisk(12);
        ASSERT_TRUE(fullDisk.set());
        written = files.appendToFile(log(), "２回目の行\r\n");
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadWholeFile(log()), "first\r\n") << "no half line, no character cut in two";
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_NE(reports[0].find("left out"), std::string::npos) << reports[0];
    ASSERT_TRUE(files.appendToFile(log(), "next\r\n"));
    EXPECT_EQ(ReadWholeFile(log()), "first\r\nnext\r\n");
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
    EXPECT_EQ(ReadWholeFile(log()), "first\r\nsecond\r\n");
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
    EXPECT_EQ(ReadWholeFile(copy), "<html>ok</html>");
    EXPECT_EQ(ModeOf(copy), 0644U) << "the page is no secret: readable as any downloaded file";

    ASSERT_EQ(::chmod(folder.path().c_str(), 02770), 0);
    ScopedUmask strict(077);
    staged = files.stageFile(copy, "check.htm.part");
    ASSERT_TRUE(staged);
    ASSERT_TRUE(staged->write("<html>again</html>"));
    ASSERT_TRUE(staged->commit());
    EXPECT_EQ(ModeOf(copy), 0660U);
}

} // namespace
