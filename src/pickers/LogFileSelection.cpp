// SPDX-License-Identifier: MIT
// The two browse buttons of the monitoring frame: the log file through the Save dialog, the folder of
// the page copy through the folder browser. Neither saves anything; the fields count from the next
// check and reach the settings file only through the monitoring save.
#include "common/Environment.h"
#include "pickers/FolderBrowser.h"
#include "pickers/clsDialog.h"
#include "shell/Form1.h"

namespace {

constexpr const char* LogFileName = "iiserr.txt";
constexpr const char* LogFileFilter = "textﾌｧｲﾙ|*.txt";
constexpr const char* LogDialogTitle = "ログファイル設定";
// The extension a name typed without one receives: "doc", not "txt", as the program has always had it.
constexpr const char* LogDefaultExt = "doc";
constexpr const char* FolderPrompt = "希望のﾌｫﾙﾀﾞｰ名をｸﾘｯｸして、ﾌｫﾙﾀﾞｰｱｲｺﾝをｵｰﾌﾟﾝ状態にし、[OK]を押してください";

} // namespace

void Form1::Command3_Click()
{
    clsDialog dialog(m_services.fileChooser, m_services.messageBox);
    dialog.CancelError(true);
    dialog.hWnd(hWnd);
    dialog.FileName(LogFileName);
    dialog.Filter(LogFileFilter);
    // Read-only check box preset and nothing else: an existing log is chosen without an overwrite
    // question, since the program only appends to it.
    dialog.flags(FileDialogOption::ReadOnly);
    dialog.DialogTitle(LogDialogTitle);
    dialog.DefaultExt(LogDefaultExt);
    dialog.InitDir(m_services.environment.executableFolder());
    try {
        dialog.ShowSave();
    } catch (const DialogError&) {
        return; // cancelled or failed: the field keeps its text
    }
    txtLog.Text = dialog.FileName();
}

void Form1::Command4_Click()
{
    const std::string folder = BrowseForFolder(m_services.folderChooser, hWnd, txtParaPath.Text(), FolderPrompt);
    if (!folder.empty()) {
        txtParaPath.Text = folder;
    }
}
