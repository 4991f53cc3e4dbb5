// SPDX-License-Identifier: MIT
#include "posix/PosixFileSystem.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class ReplaceFile : public ::testing::Test
{
protected:
    std::string path() const { return folder / "SETTING.ini"; }
    std::string temporary() const { return folder / "SETTING.ini.tmp"; }

    TemporaryFolder folder;
    PosixFileSystem files;
};

TEST_F(ReplaceFile, ANewPrivateFileIsTheOwnersOnlyWhateverTheUmask)
{
    ScopedUmask umask(0);
    ASSERT_TRUE(files.replaceFile(path(), "LOGINPASS=secret\n", NewFileAccess::Private));
    EXPECT_EQ(ReadWholeFile(path()), "LOGINPASS=secret\n");
    EXPECT_EQ(ModeOf(path()), 0600U);
    EXPECT_FALSE(files.entryExists(temporary()));
}

TEST_F(ReplaceFile, InASetgidFolderTheFolderGroupMayReadAndWrite)
{
    ScopedUmask umask(077);
    ASSERT_EQ(::chmod(folder.path().c_str(), 02770), 0);
    ASSERT_TRUE(files.replaceFile(path(), "x", NewFileAccess::Private));
    EXPECT_EQ(ModeOf(path()), 0660U);
    ASSERT_TRUE(files.replaceFile(folder / "registry.ini", "x", NewFileAccess::OwnerOnly));
    EXPECT_EQ(ModeOf(folder / "registry.ini"), 0600U);
}

TEST_F(ReplaceFile, AnOrdinaryNewFileFollowsTheUmask)
{
    ScopedUmask umask(077);
    ASSERT_TRUE(files.replaceFile(path(), "x", NewFileAccess::Ordinary));
    EXPECT_EQ(ModeOf(path()), 0600U);
}

TEST_F(ReplaceFile, APathWithANulIsRefusedRatherThanCutShort)
{
    const std::string cut = folder / "log";
    const std::string withNul = cut + std::string(1, '\0') + ".txt";
    EXPECT_FALSE(files.appendToFile(withNul, "x"));
    EXPECT_FALSE(files.replaceFile(withNul, "x", NewFileAccess::Ordinary));
    EXPECT_FALSE(files.createIfMissing(withNul));
    EXPECT_EQ(files.stageFile(withNul, "part"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(cut)) << "nothing was written under the cut name";
}

TEST_F(ReplaceFile, AnExistingFileKeepsItsMode)
{
    WriteFile(path(), "old");
    ASSERT_EQ(::chmod(path().c_str(), 0640), 0);
    ASSERT_TRUE(files.replaceFile(path(), "new", NewFileAccess::Private));
    EXPECT_EQ(ReadWholeFile(path()), "new");
    EXPECT_EQ(ModeOf(path()), 0640U);
}

TEST_F(ReplaceFile, AnExistingFileKeepsItsOwnerWhenRootReplacesIt)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may give a file to another user";
    }
    WriteFile(path(), "old");
    ASSERT_EQ(::chown(path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(path().c_str(), 0660), 0);
    ASSERT_TRUE(files.replaceFile(path(), "new", NewFileAccess::Private));
    struct stat info
    {
    };
    ASSERT_EQ(::stat(path().c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534U);
    EXPECT_EQ(info.st_gid, 65534U);
    EXPECT_EQ(info.st_mode & 07777, 0660U);
    EXPECT_EQ(ReadWholeFile(path()), "new");
}

TEST_F(ReplaceFile, AStaleTemporaryIsNeverWrittenThrough)
{
    // A temporary left behind (by a crash, or planted) that someone still holds open must not
    // receive the new content.
    WriteFile(temporary(), "stale");
    ASSERT_EQ(::chmod(temporary().c_str(), 0644), 0);
    const int reader = ::open(temporary().c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(files.replaceFile(path(), "LOGINPASS=secret\n", NewFileAccess::Private));
    char buffer[64] = {};
    const ssize_t n = ::pread(reader, buffer, sizeof buffer, 0);
    ::close(reader);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))), "stale");
    EXPECT_EQ(ModeOf(path()), 0600U);
    EXPECT_EQ(ReadWholeFile(path()), "LOGINPASS=secret\n");
}

// Fails the rename, after checking that everything before it was done.
class FailingRename : public PosixFileSystem
{
public:
    std::string seenTemporary;
    std::string seenTarget;
    mode_t seenMode = 0;
    bool renameOver(const std::string& temporary, const std::string& target) override
    {
        seenTemporary = ReadWholeFile(temporary);
        seenTarget = ReadWholeFile(target);
        seenMode = ModeOf(temporary);
        return false;
    }
};

TEST_F(ReplaceFile, AFailureJustBeforeTheRenameLeavesTheOldFile)
{
    WriteFile(path(), "[SETTING]\nURL=old\n");
    FailingRename failing;
    EXPECT_FALSE(failing.replaceFile(path(), "[SETTING]\nURL=new\n", NewFileAccess::Private));
    EXPECT_EQ(failing.seenTemporary, "[SETTING]\nURL=new\n"); // the new content was complete
    EXPECT_EQ(failing.seenTarget, "[SETTING]\nURL=old\n");
    EXPECT_EQ(ReadWholeFile(path()), "[SETTING]\nURL=old\n");
    EXPECT_FALSE(files.entryExists(temporary()));
}

TEST_F(ReplaceFile, ADiskFullWhileWritingLeavesTheOldFile)
{
    WriteFile(path(), "[SETTING]\nURL=old\n");
    const std::string big(64 * 1024, 'x');
    bool replaced = true;
    {
        const ScopedFileSizeLimit fullDisk(4096);
        ASSERT_TRUE(fullDisk.set());
        replaced = files.replaceFile(path(), big, NewFileAccess::Private);
    }

    EXPECT_FALSE(replaced);
    EXPECT_EQ(ReadWholeFile(path()), "[SETTING]\nURL=old\n");
    EXPECT_FALSE(files.entryExists(temporary()));
}

TEST_F(ReplaceFile, ATemporaryThatCannotBeMadeLeavesTheOldFile)
{
    WriteFile(path(), "old");
    ASSERT_EQ(::mkdir(temporary().c_str(), 0700), 0);
    EXPECT_FALSE(files.replaceFile(path(), "new", NewFileAccess::Private));
    EXPECT_EQ(ReadWholeFile(path()), "old");
}

TEST_F(ReplaceFile, APathUnderARegularFileIsRefused)
{
    WriteFile(folder / "sentrybell", "program");
    EXPECT_FALSE(files.replaceFile(folder / "sentrybell/SETTING.ini", "x", NewFileAccess::Private));
    EXPECT_EQ(ReadWholeFile(folder / "sentrybell"), "program");
    EXPECT_EQ(files.lastFailure(), "cannot create " + folder / "sentrybell/SETTING.ini.tmp" + ": Not a directory");
}

TEST_F(ReplaceFile, ThroughASymbolicLinkTheTargetIsReplacedInItsOwnFolderAndTheLinkStays)
{
    ASSERT_EQ(::mkdir((folder / "conf").c_str(), 0755), 0);
    WriteFile(folder / "conf/shared.ini", "old");
    ASSERT_EQ(::chmod((folder / "conf/shared.ini").c_str(), 0640), 0);
    // A relative link, and a chain of two ending in an absolute one.
    ASSERT_EQ(::symlink("conf/shared.ini", path().c_str()), 0);
    ASSERT_EQ(::symlink(path().c_str(), (folder / "registry.ini").c_str()), 0);
    for (const std::string& link : {path(), folder / "registry.ini"}) {
        ASSERT_TRUE(files.replaceFile(link, "new " + link, NewFileAccess::Private)) << files.lastFailure();
        EXPECT_EQ(ReadWholeFile(folder / "conf/shared.ini"), "new " + link);
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        EXPECT_EQ(ModeOf(folder / "conf/shared.ini"), 0640U);
        EXPECT_FALSE(files.entryExists(folder / "conf/shared.ini.tmp"));
    }
    EXPECT_EQ(std::filesystem::read_symlink(path()), "conf/shared.ini");
}

TEST_F(ReplaceFile, AnotherUsersLinkIsNotFollowed)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may give a link to another user";
    }
    // Planted in a shared folder, it would lead root's save to any file.
    WriteFile(folder / "victim", "victim");
    ASSERT_EQ(::symlink((folder / "victim").c_str(), path().c_str()), 0);
    ASSERT_EQ(::lchown(path().c_str(), 65534, 65534), 0);
    EXPECT_FALSE(files.replaceFile(path(), "settings", NewFileAccess::Private));
    EXPECT_EQ(ReadWholeFile(folder / "victim"), "victim");
    EXPECT_TRUE(std::filesystem::is_symlink(path()));
    EXPECT_NE(files.lastFailure().find("symbolic link of another user (uid 65534)"), std::string::npos)
        << files.lastFailure();
}

TEST_F(ReplaceFile, ReadingIsBoundedAndNeverCreates)
{
    WriteFile(path(), std::string(100000, 'a'));
    EXPECT_EQ(files.readFile(path(), 1000)->size(), 1000U);
    EXPECT_FALSE(files.readFile(folder / "missing.ini", 1000).has_value());
    EXPECT_FALSE(files.entryExists(folder / "missing.ini"));
    EXPECT_FALSE(files.readFile(folder.path(), 1000).has_value()); // a folder is not a file
}

} // namespace
