// SPDX-License-Identifier: MIT
#include "pickers/clsDialog.h"

#include "fakes/FakePickers.h"
#include "fakes/FakeUi.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace std::string_literals;

class ClsDialogTest : public ::testing::Test
{
protected:
    FakeFileChooser chooser;
    FakeMessageBox messageBox;
    clsDialog dialog{chooser, messageBox};

    const FileDialogRequest& lastRequest() const { return chooser.requests.back(); }

    // Gives each result a value of its own, DirectoryName through a multiple selection, so that any
    // later change shows.
    void presetResults()
    {
        dialog.flags(FileDialogOption::AllowMultiSelect | FileDialogOption::Explorer);
        chooser.accept("/before", {"one.txt", "two.txt"});
        dialog.ShowOpen();
        ASSERT_EQ(dialog.DirectoryName(), "/before");
        dialog.FileName("before.txt");
        dialog.FileTitle("title-before");
        dialog.flags(0);
    }

    void expectResultsUnchanged() const
    {
        EXPECT_EQ(dialog.FileName(), "before.txt");
        EXPECT_EQ(dialog.FileTitle(), "title-before");
        EXPECT_EQ(dialog.DirectoryName(), "/before");
    }

    // Runs ShowSave and returns the error number it ended with, 0 for none.
    int showSaveError()
    {
        try {
            dialog.ShowSave();
        } catch (const DialogError& error) {
            return error.number();
        }
        return 0;
    }
};

TEST_F(ClsDialogTest, PropertiesStartEmpty)
{
    EXPECT_EQ(dialog.FileName(), "");
    EXPECT_EQ(dialog.FileTitle(), "");
    EXPECT_EQ(dialog.Filter(), "");
    EXPECT_EQ(dialog.FilterIndex(), 0);
    EXPECT_EQ(dialog.flags(), 0U);
    EXPECT_EQ(dialog.MaxFileSize(), 0);
    EXPECT_EQ(dialog.ExtendedError(), 0U);
    EXPECT_EQ(dialog.DirectoryName(), "");
}

TEST_F(ClsDialogTest, RequestCarriesEverySetting)
{
    dialog.hWnd(0x4711);
    dialog.DialogTitle("ログファイル設定");
    dialog.InitDir("/opt/sentrybell");
    dialog.FileName("iiserr.txt");
    dialog.FileTitle("iiserr");
    dialog.Filter("A|*.a|B|*.b");
    dialog.FilterIndex(-1);
    dialog.DefaultExt("doc");
    dialog.flags(FileDialogOption::ReadOnly | FileDialogOption::FileMustExist);

    dialog.ShowOpen();
    const FileDialogRequest& open = lastRequest();
    EXPECT_EQ(open.mode, FileDialogMode::Open);
    EXPECT_EQ(open.owner, 0x4711U);
    EXPECT_EQ(open.title, "ログファイル設定");
    EXPECT_EQ(open.initialFolder, "/opt/sentrybell");
    EXPECT_EQ(open.fileName, "iiserr.txt");
    EXPECT_EQ(open.fileTitle, "iiserr");
    EXPECT_EQ(open.filters, (std::vector<FileFilter>{{"A", "*.a"}, {"B", "*.b"}}));
    EXPECT_EQ(open.filterIndex, -1); // widened with its sign
    EXPECT_EQ(open.defaultExt, "doc");
    EXPECT_EQ(open.flags, FileDialogOption::ReadOnly | FileDialogOption::FileMustExist);

    dialog.ShowSave();
    EXPECT_EQ(lastRequest().mode, FileDialogMode::Save);
}

TEST_F(ClsDialogTest, BufferSizeFollowsMaxFileSize)
{
    for (const auto& [maxFileSize, expected] : {std::pair{0, 260U}, {100, 260U}, {260, 260U}, {261, 261U}}) {
        dialog.MaxFileSize(maxFileSize);
        dialog.ShowSave();
        EXPECT_EQ(lastRequest().fileBufferSize, expected) << "MaxFileSize " << maxFileSize;
    }
}

TEST_F(ClsDialogTest, LongFileNameIsCutInTheBufferButNotInTheProperty)
{
    const std::string longName(300, 'n');
    dialog.FileName(longName);
    dialog.FileTitle(longName);
    dialog.ShowSave();
    EXPECT_EQ(lastRequest().fileName, std::string(259, 'n'));
    EXPECT_EQ(lastRequest().fileTitle, std::string(259, 'n'));

    dialog.MaxFileSize(261);
    dialog.ShowSave();
    EXPECT_EQ(lastRequest().fileName, std::string(260, 'n'));
    EXPECT_EQ(lastRequest().fileTitle, std::string(259, 'n')); // the title buffer stays at 260

    EXPECT_EQ(dialog.FileName(), longName); // cancelled: the property is as the caller left it
}

TEST_F(ClsDialogTest, EmptyFilterAndFilterWithoutBarReachTheDialog)
{
    dialog.ShowSave();
    EXPECT_TRUE(lastRequest().filters.empty());
    dialog.Filter("text");
    dialog.ShowSave();
    EXPECT_EQ(lastRequest().filters, (std::vector<FileFilter>{{"text", ""}}));
}

TEST_F(ClsDialogTest, CancelWithCancelErrorReports32755AndKeepsResults)
{
    presetResults();
    dialog.CancelError(true);
    chooser.answer = {};
    EXPECT_EQ(showSaveError(), cdlCancel);
    EXPECT_EQ(cdlCancel, 32755);
    EXPECT_EQ(dialog.ExtendedError(), 0U);
    expectResultsUnchanged();
    EXPECT_TRUE(messageBox.shown.empty());
}

TEST_F(ClsDialogTest, CancelWithoutCancelErrorIsSilent)
{
    presetResults();
    chooser.answer = {};
    EXPECT_EQ(showSaveError(), 0);
    EXPECT_EQ(dialog.ExtendedError(), 0U);
    expectResultsUnchanged();
}

TEST_F(ClsDialogTest, FailedDialogLeavesItsReasonInExtendedError)
{
    presetResults();
    chooser.fail(FileDialogFault::DialogFailure);
    EXPECT_EQ(showSaveError(), 0);
    EXPECT_EQ(dialog.ExtendedError(), FileDialogFault::DialogFailure);
    expectResultsUnchanged();

    dialog.CancelError(true);
    EXPECT_EQ(showSaveError(), cdlCancel);
    EXPECT_EQ(dialog.ExtendedError(), FileDialogFault::DialogFailure);
    expectResultsUnchanged();

    // The next dialog starts clean.
    chooser.accept("/srv", {"x.txt"});
    EXPECT_EQ(showSaveError(), 0);
    EXPECT_EQ(dialog.ExtendedError(), 0U);
}

TEST_F(ClsDialogTest, SingleSelectionFillsFileNameAndFileTitleOnly)
{
    presetResults();
    chooser.accept("/srv/logs", {"x.txt"});
    dialog.ShowSave();
    EXPECT_EQ(dialog.FileName(), "/srv/logs/x.txt");
    EXPECT_EQ(dialog.FileTitle(), "x.txt");
    EXPECT_EQ(dialog.DirectoryName(), "/before");
    EXPECT_EQ(dialog.ExtendedError(), 0U);
}

TEST_F(ClsDialogTest, FilterIndexKeepsTheCallersValue)
{
    dialog.Filter("A|*.a|B|*.b");
    dialog.FilterIndex(1);
    chooser.accept("/srv", {"x.b"});
    chooser.answer.filterIndex = 2; // the operator switched to the second entry
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName(), "/srv/x.b");
    EXPECT_EQ(dialog.FilterIndex(), 1);
}

TEST_F(ClsDialogTest, ExplorerMultipleSelectionGivesFolderAndNames)
{
    presetResults();
    dialog.flags(FileDialogOption::AllowMultiSelect | FileDialogOption::Explorer);
    chooser.accept("/srv", {"a.txt", "b.txt"});
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName(), "/srv\0a.txt\0b.txt"s);
    EXPECT_EQ(dialog.DirectoryName(), "/srv");
    EXPECT_EQ(dialog.FileTitle(), "title-before");
}

TEST_F(ClsDialogTest, ExplorerMultipleSelectionOfOneFileStillNamesItsFolder)
{
    dialog.flags(FileDialogOption::AllowMultiSelect | FileDialogOption::Explorer);
    chooser.accept("/srv", {"a.txt"});
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName(), "/srv/a.txt");
    EXPECT_EQ(dialog.DirectoryName(), "/srv");
}

TEST_F(ClsDialogTest, OldStyleMultipleSelectionChangesNothing)
{
    presetResults();
    dialog.flags(FileDialogOption::AllowMultiSelect);
    dialog.CancelError(true);
    chooser.accept("/srv", {"a.txt", "b.txt"});
    EXPECT_EQ(showSaveError(), 0);
    expectResultsUnchanged();
}

TEST_F(ClsDialogTest, AnswerLongerThanTheBufferIsAFailureNotACutPath)
{
    presetResults();
    dialog.CancelError(true);
    const std::string deepFolder = "/srv/" + std::string(300, 'd');
    chooser.accept(deepFolder, {"a.txt"});
    EXPECT_EQ(showSaveError(), cdlCancel);
    EXPECT_EQ(dialog.ExtendedError(), FileDialogFault::BufferTooSmall);
    expectResultsUnchanged();

    dialog.MaxFileSize(1024);
    EXPECT_EQ(showSaveError(), 0);
    EXPECT_EQ(dialog.FileName(), deepFolder + "/a.txt");
    EXPECT_EQ(dialog.FileTitle(), "a.txt");
}

TEST_F(ClsDialogTest, RunTimeFailureIsShownInABoxOfItsOwn)
{
    presetResults();
    chooser.failure = "no memory for the buffers";
    EXPECT_EQ(showSaveError(), 0);
    ASSERT_EQ(messageBox.shown.size(), 1U);
    EXPECT_EQ(messageBox.shown[0].text, "no memory for the buffers");
    EXPECT_EQ(messageBox.shown[0].style, vbExclamation);
    EXPECT_EQ(messageBox.shown[0].title, "ShowFileDialog");
    expectResultsUnchanged();

    // A caller that asked for errors hears of it, so that it does not take the unchanged initial name
    // for the operator's choice.
    dialog.CancelError(true);
    EXPECT_EQ(showSaveError(), cdlCancel);
    EXPECT_EQ(messageBox.shown.size(), 2U);
    expectResultsUnchanged();
}

} // namespace
