// SPDX-License-Identifier: MIT
#include "fakes/FormHarness.h"

#include <gtest/gtest.h>

namespace {

class LogFileSelection : public ::testing::Test
{
protected:
    FormHarness h;
    Form1& f = h.form;
};

constexpr const char* FolderPrompt = "希望のﾌｫﾙﾀﾞｰ名をｸﾘｯｸして、ﾌｫﾙﾀﾞｰｱｲｺﾝをｵｰﾌﾟﾝ状態にし、[OK]を押してください";

TEST_F(LogFileSelection, LogDialogIsTheSaveDialogSetUpForTheLogFile)
{
    f.hWnd = 0x1234;
    h.environment.folder = "/opt/watch";
    f.Command3_Click();
    ASSERT_EQ(h.fileChooser.requests.size(), 1U);
    const FileDialogRequest& request = h.fileChooser.requests[0];
    EXPECT_EQ(request.mode, FileDialogMode::Save);
    EXPECT_EQ(request.owner, 0x1234U);
    EXPECT_EQ(request.fileName, "iiserr.txt");
    EXPECT_EQ(request.filters, (std::vector<FileFilter>{{"textﾌｧｲﾙ", "*.txt"}}));
    EXPECT_EQ(request.flags, FileDialogOption::ReadOnly); // and so no overwrite question
    EXPECT_EQ(request.title, "ログファイル設定");
    EXPECT_EQ(request.defaultExt, "doc");
    EXPECT_EQ(request.initialFolder, "/opt/watch");
    EXPECT_EQ(request.fileBufferSize, 260U);
}

TEST_F(LogFileSelection, AcceptedFileGoesIntoTheLogField)
{
    f.txtLog.Text = "/var/log/old.txt";
    h.fileChooser.accept("/opt/sentrybell", {"iiserr.txt"});
    f.Command3_Click();
    EXPECT_EQ(f.txtLog.Text(), "/opt/sentrybell/iiserr.txt");
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST_F(LogFileSelection, LogFieldKeepsItsTextUnlessAFileIsAccepted)
{
    f.txtLog.Text = "/var/log/old.txt";
    f.Command3_Click(); // cancelled
    EXPECT_EQ(f.txtLog.Text(), "/var/log/old.txt");

    h.fileChooser.fail(FileDialogFault::DialogFailure);
    f.Command3_Click();
    EXPECT_EQ(f.txtLog.Text(), "/var/log/old.txt");

    // A run-time failure shows its box; the bare initial name must not land in the field.
    h.fileChooser.failure = "out of memory";
    f.Command3_Click();
    EXPECT_EQ(f.txtLog.Text(), "/var/log/old.txt");
    ASSERT_EQ(h.messageBox.shown.size(), 1U);
    EXPECT_EQ(h.messageBox.shown[0].title, "ShowFileDialog");
}

TEST_F(LogFileSelection, FolderBrowserStartsAtTheSaveFolderWithThePrompt)
{
    f.hWnd = 0x99;
    f.txtParaPath.Text = "/srv/www/copy";
    f.Command4_Click();
    ASSERT_EQ(h.folderChooser.requests.size(), 1U);
    EXPECT_EQ(h.folderChooser.requests[0].owner, 0x99U);
    EXPECT_EQ(h.folderChooser.requests[0].initialFolder, "/srv/www/copy");
    EXPECT_EQ(h.folderChooser.requests[0].prompt, FolderPrompt);
}

TEST_F(LogFileSelection, ChosenFolderReplacesTheSaveFolderAsGiven)
{
    f.txtParaPath.Text = "/srv/www/copy";
    h.folderChooser.answer = "/srv/other";
    f.Command4_Click();
    EXPECT_EQ(f.txtParaPath.Text(), "/srv/other");

    h.folderChooser.answer = "/";
    f.Command4_Click();
    EXPECT_EQ(f.txtParaPath.Text(), "/");
}

TEST_F(LogFileSelection, EmptyAnswerKeepsTheSaveFolder)
{
    f.txtParaPath.Text = "/srv/www/copy";
    h.folderChooser.answer = "";
    f.Command4_Click();
    EXPECT_EQ(f.txtParaPath.Text(), "/srv/www/copy");
}

} // namespace
