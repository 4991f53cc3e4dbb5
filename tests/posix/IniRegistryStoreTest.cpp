// SPDX-License-Identifier: MIT
#include "posix/IniRegistryStore.h"

#include "config/AutoLogon.h"
#include "posix/PosixFileSystem.h"
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

const std::string Section = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon]";

class RegistryFile : public ::testing::Test
{
protected:
    std::string get(const std::string& name) const
    {
        return GetRegValue(store, RegistryHive::LocalMachine, WinlogonKey, name);
    }
    bool put(const std::string& name, const std::string& value)
    {
        return PutRegValue(store, RegistryHive::LocalMachine, WinlogonKey, name, value);
    }

    TemporaryFolder folder;
    std::string path = folder / "etc/sentrybell/registry.ini";
    PosixFileSystem files;
    IniRegistryStore store{files, path};
};

TEST_F(RegistryFile, AMissingStoreReadsEmptyAndIsNotCreatedByReading)
{
    EXPECT_EQ(get(AutoAdminLogon), "");
    EXPECT_FALSE(files.entryExists(path));
}

TEST_F(RegistryFile, TheFirstWriteCreatesAStoreOnlyItsOwnerCanRead)
{
    ASSERT_EQ(::mkdir((folder / "etc").c_str(), 0755), 0);
    ScopedUmask umask(0);
    ASSERT_TRUE(put(AutoAdminLogon, "1"));
    EXPECT_EQ(ModeOf(path), 0600U);
    EXPECT_EQ(ReadWholeFile(path), Section + "\nAutoAdminLogon=1\n");
    EXPECT_EQ(get(AutoAdminLogon), "1");
    EXPECT_EQ(get("autoadminlogon"), "1"); // value names match without regard to case
    EXPECT_EQ(get(DefaultUserName), "");
    EXPECT_EQ(GetRegValue(store, RegistryHive::LocalMachine, "SOFTWARE\\Other", AutoAdminLogon), "");
}

TEST_F(RegistryFile, ValuesComeBackExactlyAsWritten)
{
    ASSERT_EQ(::mkdir((folder / "etc").c_str(), 0755), 0);
    for (const std::string value : {" spaced ", "\"quoted\"", "'q'", "C:\\path\\n", "two\r\nlines", "end\\", ""}) {
        ASSERT_TRUE(put(DefaultPassword, value));
        EXPECT_EQ(get(DefaultPassword), value);
    }
    ASSERT_TRUE(put(DefaultUserName, "a\nDefaultPassword=planted"));
    ASSERT_TRUE(put(DefaultPassword, "pw"));
    EXPECT_EQ(get(DefaultPassword), "pw");
    EXPECT_EQ(get(DefaultUserName), "a\nDefaultPassword=planted");
    EXPECT_EQ(ReadWholeFile(path), Section + "\nDefaultPassword=pw\nDefaultUserName=a\\nDefaultPassword=planted\n");
}

TEST_F(RegistryFile, OtherKeysAndLinesOfTheStoreAreKept)
{
    ASSERT_EQ(::mkdir((folder / "etc").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((folder / "etc/sentrybell").c_str(), 0755), 0);
    WriteFile(path, "; kept by hand\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\nAutoAdminLogon=other\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(put(AutoAdminLogon, "0"));
    EXPECT_EQ(ReadWholeFile(path), "; kept by hand\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\nAutoAdminLogon=other\n" +
                                       Section + "\nAutoAdminLogon=0\n");
    EXPECT_EQ(ModeOf(path), 0640U);
    EXPECT_EQ(get(AutoAdminLogon), "0");
}

TEST_F(RegistryFile, AWriteThatCannotBeMadeReturnsFalseAndLeavesTheStoreWhole)
{
    ASSERT_EQ(::mkdir((folder / "etc").c_str(), 0755), 0);
    ASSERT_TRUE(put(AutoAdminLogon, "1"));
    const std::string before = ReadWholeFile(path);

    class FailingRename : public PosixFileSystem
    {
    public:
        bool renameOver(const std::string&, const std::string&) override { return false; }
    } failing;
    IniRegistryStore refused(failing, path);
    EXPECT_FALSE(PutRegValue(refused, RegistryHive::LocalMachine, WinlogonKey, AutoAdminLogon, "0"));
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_EQ(get(AutoAdminLogon), "1");
}

TEST_F(RegistryFile, AStoreUnderARegularFileCannotBeWritten)
{
    WriteFile(folder / "etc", "not a folder");
    EXPECT_FALSE(put(AutoAdminLogon, "1"));
    EXPECT_EQ(get(AutoAdminLogon), "");
    EXPECT_EQ(ReadWholeFile(folder / "etc"), "not a folder");
}

TEST_F(RegistryFile, AStoreThatCannotBeReadIsNotOverwritten)
{
    ASSERT_EQ(::mkdir((folder / "etc").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((folder / "etc/sentrybell").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0); // a folder where the store should be
    EXPECT_FALSE(put(AutoAdminLogon, "1"));
    EXPECT_EQ(get(AutoAdminLogon), "");
}

TEST_F(RegistryFile, NamesThatOneLineCannotHoldAreRefused)
{
    ASSERT_EQ(::mkdir((folder / "etc").c_str(), 0755), 0);
    EXPECT_FALSE(put("Name=With", "x"));
    EXPECT_FALSE(put("Two\nLines", "x"));
    EXPECT_FALSE(PutRegValue(store, RegistryHive::LocalMachine, "SOFTWARE]x", AutoAdminLogon, "1"));
    EXPECT_FALSE(files.entryExists(path));
}

} // namespace
