// SPDX-License-Identifier: MIT
// The system's dialogs behind the ports, answered as an operator would: the message box, the Open and
// Save dialogs, the folder browser, and the shell's open.
#include "shell/UiServices.h"
#include "win/WideText.h"
#include "win/WinFiles.h"
#include "winview/ModalDriver.h"
#include "winview/WinFileChooser.h"
#include "winview/WinFolderChooser.h"
#include "winview/WinUiServices.h"
#include "winview/WinViewHarness.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ChildSearch
{
    std::wstring text;
    HWND found = nullptr;
};

BOOL CALLBACK matchText(HWND child, LPARAM data)
{
    auto* search = reinterpret_cast<ChildSearch*>(data);
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    if (search->text == text) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND childWithText(HWND dialog, const std::string& text)
{
    ChildSearch search{Widen(text)};
    EnumChildWindows(dialog, matchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK firstEdit(HWND child, LPARAM data)
{
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (lstrcmpW(name, L"Edit") == 0) {
        *reinterpret_cast<HWND*>(data) = child;
        return FALSE;
    }
    return TRUE;
}

// The file-name field of an Explorer-style file dialog: the edit inside its file-name combo box.
HWND fileNameField(HWND dialog)
{
    HWND edit = nullptr;
    if (HWND combo = GetDlgItem(dialog, cmb13)) {
        EnumChildWindows(combo, firstEdit, reinterpret_cast<LPARAM>(&edit));
    }
    return edit != nullptr ? edit : GetDlgItem(dialog, edt1);
}

// The text of the folder selected in a folder-browse dialog's tree; empty while there is none.
std::string selectedFolder(HWND dialog)
{
    HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
    HTREEITEM selected = tree != nullptr ? TreeView_GetSelection(tree) : nullptr;
    if (selected == nullptr) {
        return {};
    }
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = selected;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    TreeView_GetItem(tree, &item);
    return Narrow(text);
}

std::string textOf(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return Narrow(text);
}

// A file dialog keeps watching the folder it showed until the process ends, and a watched folder
// cannot be removed: the dialog tests share one fixed folder, emptied before each test and left in
// place. It is not in the temporary folder, where the other tests make and remove folders while a
// dialog lists them. Its name has Japanese characters and one outside code page 932, so a path that
// passed through an ANSI call would no longer find it.
class DialogFolder
{
public:
    DialogFolder()
    {
        wchar_t drive[MAX_PATH] = {};
        GetEnvironmentVariableW(L"SystemDrive", drive, MAX_PATH);
        const std::string parent = Narrow(drive) + "\\Sentrybell tests";
        MakeFolder(parent);
        m_path = parent + "\\監視 ダイアログ é";
        MakeFolder(m_path);
        WIN32_FIND_DATAW entry{};
        HANDLE search = FindFirstFileW(Widen(m_path + "\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                    DeleteFileW(Widen(*this / Narrow(entry.cFileName)).c_str());
                }
            } while (FindNextFileW(search, &entry) != FALSE);
            FindClose(search);
        }
    }
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

class Dialogs : public ::testing::Test
{
protected:
    Dialogs() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Dialogs() override { CoUninitialize(); }

    // Runs `act` on the first dialog that opens.
    static std::function<bool()> onDialog(std::function<void(HWND)> act)
    {
        return [act = std::move(act)] {
            HWND dialog = FindThreadWindow(L"#32770");
            if (dialog == nullptr) {
                return false;
            }
            act(dialog);
            return true;
        };
    }

    DialogFolder folder;
};

TEST_F(Dialogs, MessageBoxesHaveTheTitleTheTextTheExclamationAndOkAlone)
{
    std::string title;
    bool hasText = false;
    bool hasCancel = true;
    bool exclamation = false;
    ModalDriver driver(onDialog([&](HWND box) {
        title = textOf(box);
        // The message box's icon is the static control 0x440.
        HWND icon = GetDlgItem(box, 0x440);
        exclamation = icon != nullptr && reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)) ==
                                             LoadIconW(nullptr, IDI_EXCLAMATION);
        hasText = childWithText(box, "設定できませんでした。") != nullptr;
        hasCancel = GetDlgItem(box, IDCANCEL) != nullptr && IsWindowVisible(GetDlgItem(box, IDCANCEL));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }));
    WinMessageBox box;
    box.MsgBox("設定できませんでした。", vbExclamation, "Sentrybell");
    ASSERT_TRUE(driver.done());
    EXPECT_EQ(title, "Sentrybell");
    EXPECT_TRUE(hasText);
    EXPECT_FALSE(hasCancel);
    EXPECT_TRUE(exclamation);
}

TEST_F(Dialogs, TheSaveDialogShowsTheRequestAndAddsTheDefaultExtension)
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = "ログファイル設定";
    request.initialFolder = folder.path();
    request.fileName = "iiserr";
    // With a pattern of its own the chosen type would lend the name its extension instead.
    request.filters = {{"textﾌｧｲﾙ", "*.*"}};
    request.filterIndex = 1;
    request.defaultExt = "doc";
    request.flags = FileDialogOption::ReadOnly;

    std::string title;
    std::string type;
    ModalDriver driver([&] {
        HWND dialog = FindThreadWindow(L"#32770");
        HWND name = dialog != nullptr ? fileNameField(dialog) : nullptr;
        if (name == nullptr || textOf(name) != "iiserr") {
            return false; // not open yet, or the name not shown yet
        }
        title = textOf(dialog);
        type = textOf(GetDlgItem(dialog, cmb1));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    const FileDialogResult result = WinFileChooser().choose(request);
    ASSERT_TRUE(driver.done()) << "the initial name was not shown";
    EXPECT_EQ(title, "ログファイル設定");
    EXPECT_EQ(type, "textﾌｧｲﾙ");
    ASSERT_EQ(result.outcome, FileDialogResult::Outcome::Accepted);
    ASSERT_EQ(result.files.size(), 1U);
    EXPECT_EQ(result.files[0].path, folder / "iiserr.doc");
    EXPECT_EQ(result.files[0].name, "iiserr.doc");
    EXPECT_EQ(result.folder, folder.path());
    EXPECT_EQ(result.filterIndex, 1);
}

TEST_F(Dialogs, TheOpenDialogReturnsSeveralFilesAsFolderAndNames)
{
    for (const char* name : {"a.txt", "b.txt"}) {
        ASSERT_TRUE(WriteWholeFile(folder / name, "x"));
    }
    FileDialogRequest request;
    request.initialFolder = folder.path();
    request.flags = FileDialogOption::AllowMultiSelect | FileDialogOption::Explorer | FileDialogOption::FileMustExist;
    request.fileBufferSize = 1024;
    ModalDriver driver(onDialog([](HWND dialog) {
        SetWindowTextW(fileNameField(dialog), L"\"a.txt\" \"b.txt\"");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }));
    const FileDialogResult result = WinFileChooser().choose(request);
    ASSERT_EQ(result.outcome, FileDialogResult::Outcome::Accepted);
    EXPECT_EQ(result.folder, folder.path());
    ASSERT_EQ(result.files.size(), 2U);
    EXPECT_EQ(result.files[0].path, folder / "a.txt");
    EXPECT_EQ(result.files[1].name, "b.txt");
}

TEST_F(Dialogs, ACancelIsNoFailureAndAnAnswerTooLongForTheBufferIs)
{
    ModalDriver cancel(onDialog([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }));
    FileDialogRequest request;
    request.initialFolder = folder.path();
    const FileDialogResult cancelled = WinFileChooser().choose(request);
    EXPECT_EQ(cancelled.outcome, FileDialogResult::Outcome::Cancelled);
    EXPECT_EQ(cancelled.extendedError, 0U);

    request.mode = FileDialogMode::Save;
    request.fileBufferSize = 8;
    ModalDriver tooLong(onDialog([](HWND dialog) {
        SetWindowTextW(fileNameField(dialog), L"a-name-longer-than-the-buffer.txt");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }));
    const FileDialogResult failed = WinFileChooser().choose(request);
    EXPECT_EQ(failed.outcome, FileDialogResult::Outcome::Failed);
    EXPECT_EQ(failed.extendedError, FileDialogFault::BufferTooSmall);
}

TEST_F(Dialogs, TheFolderBrowserOpensOnTheInitialFolderUnderThePrompt)
{
    const std::string prompt = "希望のﾌｫﾙﾀﾞｰ名をｸﾘｯｸして、[OK]を押してください";
    bool promptShown = false;
    std::string selected;
    ModalDriver driver([&] {
        HWND dialog = FindThreadWindow(L"#32770");
        if (dialog == nullptr || (selected = selectedFolder(dialog)).empty()) {
            return false;
        }
        promptShown = childWithText(dialog, prompt) != nullptr;
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    const std::string chosen = WinFolderChooser().browseForFolder(0, folder.path(), prompt);
    const std::string name = folder.path().substr(folder.path().rfind('\\') + 1);
    EXPECT_EQ(selected, name) << "the initial folder is selected when the dialog opens";
    EXPECT_EQ(chosen, folder.path());
    EXPECT_TRUE(promptShown);

    ModalDriver cancel(onDialog([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }));
    EXPECT_EQ(WinFolderChooser().browseForFolder(0, folder.path(), prompt), "");
}

TEST_F(Dialogs, TheShellOpensWhatItIsGiven)
{
    const std::string record = folder / "opened.txt";
    SetEnvironmentVariableW(L"SENTRYBELL_RECORDER_FILE", Widen(record).c_str());
    WinShell shell;
    shell.openDocument(Narrow(WinePath(SENTRYBELL_RECORDER_EXE)));
    std::optional<std::string> recorded;
    const auto started = [&] { return (recorded = ReadWholeFile(record)) && recorded->ends_with("STARTED\n"); };
    for (int i = 0; i < 100 && !started(); ++i) {
        Sleep(50);
    }
    SetEnvironmentVariableW(L"SENTRYBELL_RECORDER_FILE", nullptr);
    ASSERT_TRUE(recorded && recorded->ends_with("STARTED\n")) << "the program did not start within 5 s";
    std::vector<std::string> arguments;
    std::istringstream lines(*recorded);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("ARG ")) {
            arguments.push_back(line.substr(4));
        }
    }
    EXPECT_TRUE(arguments.empty()) << "a document is opened without arguments: " << *recorded;
}

TEST(FileDialogBuffers, TheFilterListIsNulSeparated)
{
    EXPECT_EQ(DialogFilterList({{"textﾌｧｲﾙ", "*.txt"}, {"all", "*.*"}}),
              std::wstring(L"textﾌｧｲﾙ\0*.txt\0all\0*.*\0", 23));
    EXPECT_EQ(DialogFilterList({}), L"");
}

TEST(FileDialogBuffers, AnAnswerIsReadAsTheDialogLaysItOut)
{
    const std::wstring single(L"C:\\logs\\iiserr.txt\0", 19);
    FileDialogResult one = ReadAcceptedBuffer(single, 8, 0);
    EXPECT_EQ(one.folder, "C:\\logs");
    ASSERT_EQ(one.files.size(), 1U);
    EXPECT_EQ(one.files[0].path, "C:\\logs\\iiserr.txt");
    EXPECT_EQ(one.files[0].name, "iiserr.txt");

    const FileDialogResult root = ReadAcceptedBuffer(std::wstring(L"C:\\a.txt\0", 9), 3, 0);
    EXPECT_EQ(root.folder, "C:\\");
    EXPECT_EQ(root.files[0].path, "C:\\a.txt");

    const std::wstring several(L"C:\\logs\0a.txt\0b.txt\0\0", 21);
    const FileDialogResult two =
        ReadAcceptedBuffer(several, 8, FileDialogOption::AllowMultiSelect | FileDialogOption::Explorer);
    EXPECT_EQ(two.folder, "C:\\logs");
    ASSERT_EQ(two.files.size(), 2U);
    EXPECT_EQ(two.files[1].path, "C:\\logs\\b.txt");

    const FileDialogResult oldStyle =
        ReadAcceptedBuffer(std::wstring(L"C:\\logs a.txt b.txt\0", 20), 0, FileDialogOption::AllowMultiSelect);
    EXPECT_EQ(oldStyle.folder, "C:\\logs");
    ASSERT_EQ(oldStyle.files.size(), 2U);
    EXPECT_EQ(oldStyle.files[0].path, "C:\\logs\\a.txt");
}

} // namespace
