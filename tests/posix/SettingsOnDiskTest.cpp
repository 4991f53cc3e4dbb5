// SPDX-License-Identifier: MIT
#include "config/SettingsFile.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeUi.h"
#include "fakes/FormHarness.h"
#include "posix/PosixFileSystem.h"
#include "posix/Utf8Encoding.h"
#include "shell/Form1.h"
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

namespace {

// A Form1 whose settings file is a real file in a temporary folder.
struct DiskForm
{
    explicit DiskForm(const std::string& folder) { fakes.environment.folder = folder; }

    PosixFileSystem files;
    Utf8Encoding encoding;
    FakePorts fakes;
    FakeMessageBox& messageBox = fakes.messageBox;
    FakeRegistry& registry = fakes.registry;
    Form1 form{fakes.services({.files = &files, .encoding = &encoding})};
};

class SettingsOnDisk : public ::testing::Test
{
protected:
    SettingsOnDisk()
    {
        std::cerr.rdbuf(m_quiet.rdbuf());
        ::mkdir((folder / "log").c_str(), 0755);
    }
    ~SettingsOnDisk() override { std::cerr.rdbuf(m_previous); }

    void fill(Form1& f)
    {
        f.txtLog.Text = folder / "log/iiserr.txt";
        f.txtParaPath.Text = folder / "log";
        f.txtTimeout.Text = "20";
        f.txtTimer.Text = "15";
        f.txtUrl.Text = "http://127.0.0.1/check.htm";
        f.txtProxy.Text = " ";
        f.txtUserPass.Text = "pw";
        f.OptBoot(1).Value = true;
        f.txtFrom.Text = "a@example.test";
        f.txtAcount.Text = "a";
        f.txtPass.Text = "mail pw ";
        f.txtSMTP.Text = "127.0.0.1";
        f.txtSubject.Text = "監視";
        f.txtSendto.Text = "b@example.test";
        f.txtCC.Text = " ";
    }

    TemporaryFolder folder;
    std::ostringstream m_quiet;
    std::streambuf* m_previous = std::cerr.rdbuf();
};

TEST_F(SettingsOnDisk, SavedSettingsStartTheNextRun)
{
    {
        DiskForm first(folder.path());
        first.form.Form_Load();
        ASSERT_FALSE(first.files.entryExists(folder / "SETTING.ini"));
        fill(first.form);
        first.form.Command2_Click();
        first.form.Command1_Click();
        ASSERT_TRUE(first.messageBox.shown.empty());
        EXPECT_EQ(ModeOf(folder / "SETTING.ini"), 0600U);
    }
    DiskForm next(folder.path());
    next.form.Form_Load();
    Form1& f = next.form;
    EXPECT_EQ(f.txtTimer.Text(), "15");
    EXPECT_EQ(f.txtPass.Text(), "mail pw ");
    EXPECT_EQ(f.txtCC.Text(), " ");
    EXPECT_EQ(f.txtSubject.Text(), "監視");
    EXPECT_TRUE(f.OptBoot(1).Value());
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 15000);
}

TEST_F(SettingsOnDisk, ASaveThatCannotReplaceTheFileKeepsItByteForByte)
{
    const std::string before = "; mine\r\n[SETTING]\r\nURL=http://old.test/\r\n";
    WriteFile(folder / "SETTING.ini", before);
    ASSERT_EQ(::mkdir((folder / "SETTING.ini.tmp").c_str(), 0700), 0); // the temporary cannot be made
    DiskForm disk(folder.path());
    disk.form.Form_Load();
    fill(disk.form);
    disk.form.chkSysStart.Value = 1;
    disk.form.Command1_Click();
    disk.form.Command2_Click();
    ASSERT_EQ(disk.messageBox.shown.size(), 2U);
    EXPECT_EQ(disk.messageBox.shown[0].text, "設定できませんでした。");
    EXPECT_EQ(ReadWholeFile(folder / "SETTING.ini"), before);
    EXPECT_TRUE(disk.registry.writes.empty());
    EXPECT_EQ(disk.form.txtTimer.Text(), "15"); // the operator's input stays in the window
}

TEST_F(SettingsOnDisk, ASettingsPathUnderARegularFileIsRefused)
{
    WriteFile(folder / "app", "program");
    DiskForm disk(folder / "app");
    disk.form.Form_Load();
    EXPECT_EQ(disk.form.IniPath, folder / "app/SETTING.ini");
    fill(disk.form);
    disk.form.Command1_Click();
    ASSERT_EQ(disk.messageBox.shown.size(), 1U);
    EXPECT_EQ(ReadWholeFile(folder / "app"), "program");
    EXPECT_FALSE(disk.form.Timer1.Enabled()); // still as start-up left it: unconfigured
}

} // namespace
