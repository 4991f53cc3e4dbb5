// SPDX-License-Identifier: MIT
#include "win/WinFileSystem.h"

#include "support/TemporaryFolder.h"
#include "win/UniqueHandle.h"
#include "win/WideText.h"
#include "win/WinFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

class WinFileSystemTest : public testing::Test
{
protected:
    TemporaryFolder folder;
    WinFileSystem files;
};

TEST_F(WinFileSystemTest, FileExistsOnlyForAnOrdinaryVisibleFile)
{
    const std::string plain = folder / "ログ file.txt";
    const std::string hidden = folder / "hidden.txt";
    const std::string system = folder / "system.txt";
    const std::string readOnly = folder / "readonly.txt";
    const std::string subfolder = folder / "保存 先";
    ASSERT_TRUE(WriteWholeFile(plain, "x"));
    ASSERT_TRUE(WriteWholeFile(hidden, "x"));
    ASSERT_TRUE(WriteWholeFile(system, "x"));
    ASSERT_TRUE(WriteWholeFile(readOnly, "x"));
    ASSERT_TRUE(SetAttributes(hidden, FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetAttributes(system, FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetAttributes(readOnly, FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(MakeFolder(subfolder));
    ASSERT_NE(AttributesOf(hidden) & FILE_ATTRIBUTE_HIDDEN, 0U) << "the file system keeps no hidden attribute";

    EXPECT_TRUE(files.fileExists(plain));
    EXPECT_TRUE(files.fileExists(readOnly));
    EXPECT_FALSE(files.fileExists(hidden));
    EXPECT_FALSE(files.fileExists(system));
    EXPECT_FALSE(files.fileExists(subfolder));
    EXPECT_FALSE(files.fileExists(folder / "missing.txt"));
    EXPECT_FALSE(files.fileExists(""));
    EXPECT_FALSE(files.fileExists(folder / "*.txt")) << "a pattern is not a file";
    EXPECT_FALSE(files.fileExists(plain + std::string(1, '\0') + "more")) << "a NUL must not cut the path short";

    for (const auto& path : {plain, hidden, system, readOnly, subfolder, folder.path()}) {
        EXPECT_TRUE(files.entryExists(path)) << path;
    }
    EXPECT_TRUE(files.entryExists(subfolder + "\\"));
    EXPECT_FALSE(files.entryExists(folder / "missing"));
    EXPECT_FALSE(files.entryExists(""));
}

TEST_F(WinFileSystemTest, AppendWritesTheBytesAsGivenAtTheEnd)
{
    const std::string log = folder / "失敗 ログ.log";
    // Shift-JIS bytes with CR LF: nothing may translate line ends or text on the way.
    const std::string first = "\x8a\xc4\x8e\x8b\r\n";
    const std::string second = std::string("a\0b\n", 4);
    ASSERT_TRUE(files.appendToFile(log, first));
    ASSERT_TRUE(files.appendToFile(log, second));
    EXPECT_EQ(ReadWholeFile(log), first + second);
}

TEST_F(WinFileSystemTest, AppendFailsWhereNoFileCanBe)
{
    const std::string regular = folder / "regular.txt";
    ASSERT_TRUE(WriteWholeFile(regular, "x"));
    EXPECT_FALSE(files.appendToFile(regular + "\\under.log", "x"));
    EXPECT_FALSE(files.appendToFile(folder / "missing\\a.log", "x"));
    EXPECT_FALSE(files.appendToFile(folder.path(), "x")) << "a folder is not a file to append to";
}

TEST_F(WinFileSystemTest, CreateIfMissingLeavesAnExistingFileAlone)
{
    const std::string fresh = folder / "新規.log";
    ASSERT_TRUE(files.createIfMissing(fresh));
    EXPECT_EQ(ReadWholeFile(fresh), "");

    const std::string existing = folder / "existing.log";
    ASSERT_TRUE(WriteWholeFile(existing, "kept\r\n"));
    ASSERT_TRUE(SetAttributes(existing, FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(files.createIfMissing(existing));
    EXPECT_EQ(ReadWholeFile(existing), "kept\r\n");

    EXPECT_FALSE(files.createIfMissing(folder / "missing\\a.log"));
}

TEST_F(WinFileSystemTest, ReadFileGivesTheBytesUpToTheBound)
{
    const std::string path = folder / "設定.ini";
    const std::string content = std::string("[SETTING]\r\nA=\x82\xa0\0z\r\n", 17);
    ASSERT_TRUE(WriteWholeFile(path, content));
    EXPECT_EQ(files.readFile(path, 1000), content);
    EXPECT_EQ(files.readFile(path, 5), content.substr(0, 5));
    EXPECT_EQ(files.readFile(path, 0), "");
    EXPECT_FALSE(files.readFile(folder / "missing.ini", 1000).has_value());
    EXPECT_FALSE(files.readFile(folder.path(), 1000).has_value());
}

TEST_F(WinFileSystemTest, ReplaceFileSwapsTheWholeContentAndLeavesNoTemporary)
{
    const std::string path = folder / "SETTING.ini";
    ASSERT_TRUE(files.replaceFile(path, "[SETTING]\r\nLOGPATH=a\r\n", NewFileAccess::Ordinary));
    EXPECT_EQ(ReadWholeFile(path), "[SETTING]\r\nLOGPATH=a\r\n");
    ASSERT_TRUE(files.replaceFile(path, "short", NewFileAccess::Ordinary));
    EXPECT_EQ(ReadWholeFile(path), "short");
    EXPECT_EQ(EntryCount(folder.path()), 1U);
}

TEST_F(WinFileSystemTest, ReplaceFileKeepsTheReplacedFilesAttributes)
{
    const std::string path = folder / "SETTING.ini";
    ASSERT_TRUE(WriteWholeFile(path, "old"));
    ASSERT_TRUE(SetAttributes(path, FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(files.replaceFile(path, "new", NewFileAccess::Ordinary));
    EXPECT_EQ(ReadWholeFile(path), "new");
    EXPECT_NE(AttributesOf(path) & FILE_ATTRIBUTE_HIDDEN, 0U);
}

TEST_F(WinFileSystemTest, AFailedReplaceLeavesTheOldFileWhole)
{
    const std::string path = folder / "SETTING.ini";
    ASSERT_TRUE(WriteWholeFile(path, "old content"));
    {
        // Another program holds the file open without letting it be deleted or renamed over.
        UniqueHandle holder(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_FALSE(files.replaceFile(path, "new content", NewFileAccess::Ordinary));
    }
    EXPECT_EQ(ReadWholeFile(path), "old content");
    EXPECT_EQ(EntryCount(folder.path()), 1U) << "the temporary must be gone";
    EXPECT_NE(files.lastFailure().find("cannot replace " + path + ": "), std::string::npos) << files.lastFailure();

    EXPECT_FALSE(files.replaceFile(folder / "missing\\SETTING.ini", "x", NewFileAccess::Ordinary));
    const std::string subfolder = folder / "a folder";
    ASSERT_TRUE(MakeFolder(subfolder));
    EXPECT_FALSE(files.replaceFile(subfolder, "x", NewFileAccess::Ordinary));
    EXPECT_NE(AttributesOf(subfolder) & FILE_ATTRIBUTE_DIRECTORY, 0U);
}

// Runs a Unix command in the folder, as Wine can, and waits (boundedly) until `done` says it has had
// its effect: Wine cannot wait for a Unix program.
template <typename Done> bool RunUnixCommand(const std::string& folder, std::wstring command, Done done)
{
    const std::wstring program = L"Z:\\bin\\" + command.substr(0, command.find(L' '));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, Widen(folder).c_str(),
                       &startup, &process) == FALSE) {
        return false;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    for (int i = 0; i < 200 && !done(); ++i) {
        Sleep(50);
    }
    return done();
}

// A symbolic link "SETTING.ini" in the folder to "shared\\shared.ini", removed at the end: Windows'
// own, or where that makes nothing (Wine's CreateSymbolicLinkW is a stub) a Unix link, as an
// administrator of the Linux machine under Wine would make it. (Wine's DeleteFileW would delete the
// target of such a link, and leave the link.)
class SettingsLink
{
public:
    explicit SettingsLink(std::string folder) : m_folder(std::move(folder)), m_link(Widen(m_folder + "\\SETTING.ini"))
    {
        m_windows = CreateSymbolicLinkW(m_link.c_str(), L"shared\\shared.ini",
                                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != FALSE &&
                    exists();
        m_made =
            m_windows || RunUnixCommand(m_folder, L"ln -s shared/shared.ini SETTING.ini", [this] { return exists(); });
    }
    ~SettingsLink()
    {
        if (m_windows) {
            DeleteFileW(m_link.c_str());
        } else if (m_made) {
            RunUnixCommand(m_folder, L"rm -f SETTING.ini", [this] { return !exists(); });
        }
    }
    SettingsLink(const SettingsLink&) = delete;
    SettingsLink& operator=(const SettingsLink&) = delete;

    bool made() const { return m_made; }

private:
    bool exists() const { return GetFileAttributesW(m_link.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string m_folder;
    std::wstring m_link;
    bool m_windows = false;
    bool m_made = false;
};

TEST_F(WinFileSystemTest, ThroughASymbolicLinkTheTargetIsReplacedAndTheLinkStays)
{
    ASSERT_TRUE(MakeFolder(folder / "shared"));
    const std::string target = folder / "shared\\shared.ini";
    const std::string link = folder / "SETTING.ini";
    ASSERT_TRUE(WriteWholeFile(target, "old"));
    const SettingsLink settingsLink(folder.path());
    ASSERT_TRUE(settingsLink.made());
    ASSERT_TRUE(files.replaceFile(link, "new", NewFileAccess::Ordinary)) << files.lastFailure();
    EXPECT_EQ(ReadWholeFile(target), "new");
    EXPECT_EQ(ReadWholeFile(link), "new");
    // Replaced by a plain file, the link would hold the new text and the target the old.
    ASSERT_TRUE(WriteWholeFile(target, "written through the target"));
    EXPECT_EQ(ReadWholeFile(link), "written through the target") << "the link stays";
    EXPECT_EQ(EntryCount(folder / "shared"), 1U) << "no temporary is left beside the target";
}

TEST_F(WinFileSystemTest, AStaleTemporaryDoesNotStopAReplace)
{
    const std::string path = folder / "SETTING.ini";
    ASSERT_TRUE(WriteWholeFile(path + ".tmp", "left by a crash"));
    ASSERT_TRUE(files.replaceFile(path, "new", NewFileAccess::Private));
    EXPECT_EQ(ReadWholeFile(path), "new");
    EXPECT_EQ(EntryCount(folder.path()), 1U);
}

TEST_F(WinFileSystemTest, StagedFileIsInvisibleUntilCommitted)
{
    const std::string path = folder / "check.htm";
    ASSERT_TRUE(WriteWholeFile(path, "previous page"));
    {
        auto staged = files.stageFile(path, "check.htm.part");
        ASSERT_NE(staged, nullptr);
        ASSERT_TRUE(staged->write("<html>"));
        EXPECT_EQ(ReadWholeFile(path), "previous page");
        EXPECT_TRUE(files.entryExists(folder / "check.htm.part"));
        ASSERT_TRUE(staged->write("</html>"));
        ASSERT_TRUE(staged->commit());
    }
    EXPECT_EQ(ReadWholeFile(path), "<html></html>");
    EXPECT_FALSE(files.entryExists(folder / "check.htm.part"));

    {
        auto abandoned = files.stageFile(path, "check.htm.part");
        ASSERT_NE(abandoned, nullptr);
        ASSERT_TRUE(abandoned->write("half a pa"));
    }
    EXPECT_EQ(ReadWholeFile(path), "<html></html>");
    EXPECT_EQ(EntryCount(folder.path()), 1U);

    EXPECT_EQ(files.stageFile(folder / "missing\\check.htm", "check.htm.part"), nullptr);
}

} // namespace
