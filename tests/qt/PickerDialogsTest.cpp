// SPDX-License-Identifier: MIT
// The two browse buttons over the real Qt dialogs, answered from the event loop as an operator would.
#include "DialogDriver.h"
#include "QtTestApplication.h"
#include "fakes/FormHarness.h"
#include "qt/QtFileChooser.h"
#include "qt/QtFolderChooser.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

void typeName(QFileDialog& dialog, const QString& name)
{
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
}

// A Form1 over the fakes of every port but the two choosers, which are the real Qt ones, modal to a
// window standing for the main window. The program's folder is a fresh temporary folder.
class PickerDialogs : public ::testing::Test
{
protected:
    PickerDialogs()
    {
        fileChooser.setParent(&window);
        folderChooser.setParent(&window);
        h.environment.folder = utf8(programFolder.path());
        form = std::make_unique<Form1>(h.services({.fileChooser = &fileChooser, .folderChooser = &folderChooser}));
    }

    QString inProgramFolder(const QString& name) const { return programFolder.filePath(name); }

    QApplication& app = TestApplication(); // before any widget
    QTemporaryDir programFolder;
    QWidget window;
    QtFileChooser fileChooser;
    QtFolderChooser folderChooser;
    FormHarness h;
    std::unique_ptr<Form1> form;
};

TEST_F(PickerDialogs, LogDialogAcceptedUnchangedGivesTheLogInTheProgramFolder)
{
    ASSERT_TRUE(programFolder.isValid());
    form->txtLog.Text = "/var/log/old.txt";
    QString title;
    QStringList filters;
    QString folder;
    QWidget* owner = nullptr;
    bool save = false;
    bool asksOverwrite = true;
    QString suffix;
    DialogDriver driver([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        filters = dialog.nameFilters();
        folder = dialog.directory().absolutePath();
        owner = dialog.parentWidget();
        save = dialog.acceptMode() == QFileDialog::AcceptSave;
        asksOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
        suffix = dialog.defaultSuffix();
        ClickAccept(dialog);
    });
    form->Command3_Click();

    ASSERT_TRUE(driver.answered());
    EXPECT_EQ(form->txtLog.Text(), utf8(inProgramFolder("iiserr.txt")));
    EXPECT_EQ(title, QStringLiteral("ログファイル設定"));
    EXPECT_EQ(filters, QStringList{QStringLiteral("textﾌｧｲﾙ (*.txt)")});
    EXPECT_EQ(folder, QDir(programFolder.path()).absolutePath());
    EXPECT_EQ(owner, &window);
    EXPECT_TRUE(save);
    EXPECT_FALSE(asksOverwrite);
    EXPECT_EQ(suffix, QStringLiteral("txt")); // the selected type's, before the default "doc"
    EXPECT_FALSE(driver.leftOpen());
}

TEST_F(PickerDialogs, ExistingLogIsChosenWithoutAnOverwriteQuestion)
{
    QFile existing(inProgramFolder("iiserr.txt"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    DialogDriver driver([](QFileDialog& dialog) { ClickAccept(dialog); });
    form->Command3_Click();

    ASSERT_TRUE(driver.answered());
    EXPECT_TRUE(driver.messageBoxes().isEmpty()) << utf8(driver.messageBoxes().join('|'));
    EXPECT_FALSE(driver.leftOpen());
    EXPECT_EQ(form->txtLog.Text(), utf8(inProgramFolder("iiserr.txt")));
}

// The log's type lends the name its extension, as Windows' dialog does, before the default "doc".
TEST_F(PickerDialogs, NameTypedWithoutExtensionGetsTheExtensionOfTheSelectedType)
{
    DialogDriver driver([](QFileDialog& dialog) {
        typeName(dialog, QStringLiteral("watch"));
        ClickAccept(dialog);
    });
    form->Command3_Click();
    ASSERT_TRUE(driver.answered());
    EXPECT_EQ(form->txtLog.Text(), utf8(inProgramFolder("watch.txt")));
}

TEST_F(PickerDialogs, CancelledLogDialogKeepsTheField)
{
    form->txtLog.Text = "/var/log/old.txt";
    DialogDriver driver([](QFileDialog& dialog) { ClickCancel(dialog); });
    form->Command3_Click();
    ASSERT_TRUE(driver.answered());
    EXPECT_EQ(form->txtLog.Text(), "/var/log/old.txt");
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST_F(PickerDialogs, FolderBrowserOpensAtTheSaveFolderAndWritesTheChosenFolderAsIs)
{
    ASSERT_TRUE(QDir(programFolder.path()).mkpath(QStringLiteral("pages")));
    form->txtParaPath.Text = utf8(programFolder.path());
    QString opened;
    QString title;
    QString prompt;
    QString accept;
    bool foldersOnly = false;
    DialogDriver driver([&](QFileDialog& dialog) {
        opened = dialog.directory().absolutePath();
        title = dialog.windowTitle();
        const auto* label = dialog.findChild<QLabel*>(QStringLiteral("prompt"));
        prompt = label != nullptr && label->isVisible() ? label->text() : QString();
        accept = dialog.labelText(QFileDialog::Accept);
        foldersOnly = dialog.fileMode() == QFileDialog::Directory && dialog.testOption(QFileDialog::ShowDirsOnly);
        typeName(dialog, QStringLiteral("pages/")); // typed with a separator at its end
        ClickAccept(dialog);
    });
    form->Command4_Click();

    ASSERT_TRUE(driver.answered());
    EXPECT_EQ(opened, QDir(programFolder.path()).absolutePath());
    EXPECT_EQ(title, QStringLiteral("希望のﾌｫﾙﾀﾞｰ名をｸﾘｯｸして、ﾌｫﾙﾀﾞｰｱｲｺﾝをｵｰﾌﾟﾝ状態にし、[OK]を押してください"));
    EXPECT_EQ(prompt, title) << "the prompt is shown in the dialog, not only in its title bar";
    EXPECT_EQ(accept, QStringLiteral("OK"));
    EXPECT_TRUE(foldersOnly);
    EXPECT_EQ(form->txtParaPath.Text(), utf8(inProgramFolder("pages")));
}

TEST_F(PickerDialogs, FolderBrowserAcceptedUnchangedGivesTheSaveFolderBack)
{
    const QString folder = inProgramFolder("copy");
    ASSERT_TRUE(QDir().mkpath(folder));
    form->txtParaPath.Text = utf8(folder);
    DialogDriver driver([](QFileDialog& dialog) { ClickAccept(dialog); });
    form->Command4_Click();
    ASSERT_TRUE(driver.answered());
    EXPECT_EQ(form->txtParaPath.Text(), utf8(folder));
}

TEST_F(PickerDialogs, CancelledFolderBrowserKeepsTheField)
{
    form->txtParaPath.Text = utf8(programFolder.path());
    DialogDriver driver([](QFileDialog& dialog) { ClickCancel(dialog); });
    form->Command4_Click();
    ASSERT_TRUE(driver.answered());
    EXPECT_EQ(form->txtParaPath.Text(), utf8(programFolder.path()));
}

TEST_F(PickerDialogs, DialogIsModalToTheWindowWhoseHandleIsGiven)
{
    QWidget other;
    form->hWnd = static_cast<WindowHandle>(other.winId());
    QWidget* owner = nullptr;
    DialogDriver driver([&](QFileDialog& dialog) {
        owner = dialog.parentWidget();
        ClickCancel(dialog);
    });
    form->Command4_Click();
    ASSERT_TRUE(driver.answered());
    EXPECT_EQ(owner, &other);
}

TEST_F(PickerDialogs, OpenDialogReportsAMultipleSelectionWithItsFolder)
{
    for (const char* name : {"a.txt", "b.txt"}) {
        QFile file(inProgramFolder(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.initialFolder = utf8(programFolder.path());
    request.flags = FileDialogOption::AllowMultiSelect | FileDialogOption::Explorer;
    request.filters = {{"A", "*.a"}, {"Text", "*.txt"}};
    request.filterIndex = 2;
    QString selectedFilter;
    DialogDriver driver([&](QFileDialog& dialog) {
        selectedFilter = dialog.selectedNameFilter();
        typeName(dialog, QStringLiteral("\"a.txt\" \"b.txt\""));
        ClickAccept(dialog);
    });
    const FileDialogResult result = fileChooser.choose(request);

    ASSERT_TRUE(driver.answered());
    EXPECT_EQ(selectedFilter, QStringLiteral("Text (*.txt)"));
    ASSERT_EQ(result.outcome, FileDialogResult::Outcome::Accepted);
    EXPECT_EQ(result.folder, utf8(QDir(programFolder.path()).absolutePath()));
    ASSERT_EQ(result.files.size(), 2U);
    EXPECT_EQ(result.files[0].path, utf8(inProgramFolder("a.txt")));
    EXPECT_EQ(result.files[0].name, "a.txt");
    EXPECT_EQ(result.files[1].name, "b.txt");
    EXPECT_EQ(result.filterIndex, 2);
}

TEST(QtNameFilterText, EntriesTakeQtsFormAndAnEntryWithoutPatternListsAll)
{
    EXPECT_EQ(QtNameFilter({"textﾌｧｲﾙ", "*.txt"}), QStringLiteral("textﾌｧｲﾙ (*.txt)"));
    EXPECT_EQ(QtNameFilter({"Logs", "*.log; *.txt"}), QStringLiteral("Logs (*.log *.txt)"));
    EXPECT_EQ(QtNameFilter({"text", ""}), QStringLiteral("text (*)"));
}

} // namespace
