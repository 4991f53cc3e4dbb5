// SPDX-License-Identifier: MIT
#include "pickers/clsDialog.h"

#include "pickers/FileDialogText.h"
#include "shell/UiServices.h"

#include <exception>

namespace {

constexpr const char* FailureTitle = "ShowFileDialog";

} // namespace

void clsDialog::ShowOpen()
{
    ShowFileDialog(FileDialogMode::Open);
}

void clsDialog::ShowSave()
{
    ShowFileDialog(FileDialogMode::Save);
}

void clsDialog::ShowFileDialog(FileDialogMode mode)
{
    m_ExtendedError = 0;
    bool accepted = false;
    try {
        FileDialogRequest request;
        request.mode = mode;
        request.owner = m_hWnd;
        request.filters = FilterEntries(ConvertFilter(m_Filter));
        request.filterIndex = m_FilterIndex;
        request.fileBufferSize = FileBufferSize(m_MaxFileSize);
        request.fileName = BufferText(m_FileName, request.fileBufferSize);
        request.fileTitle = BufferText(m_FileTitle, MaxPathLength);
        request.initialFolder = m_InitDir;
        request.title = m_DialogTitle;
        request.flags = m_flags;
        request.defaultExt = m_DefaultExt;

        const FileDialogResult answer = m_chooser.choose(request);
        switch (answer.outcome) {
        case FileDialogResult::Outcome::Accepted:
            accepted = readAnswer(answer, request.fileBufferSize);
            if (!accepted) {
                m_ExtendedError = FileDialogFault::BufferTooSmall;
            }
            break;
        case FileDialogResult::Outcome::Failed:
            m_ExtendedError = answer.extendedError;
            break;
        case FileDialogResult::Outcome::Cancelled:
            break;
        }
    } catch (const std::exception& failure) {
        m_messageBox.MsgBox(failure.what(), vbExclamation, FailureTitle);
    } catch (...) {
        m_messageBox.MsgBox("Unknown failure", vbExclamation, FailureTitle);
    }

    // A run-time failure counts as a dialog without an answer: a caller that asked for errors must
    // not take the unchanged initial name for the operator's choice.
    if (!accepted && m_CancelError) {
        throw DialogError(cdlCancel);
    }
}

bool clsDialog::readAnswer(const FileDialogResult& answer, std::size_t fileBufferSize)
{
    const bool multiple = (m_flags & FileDialogOption::AllowMultiSelect) != 0;
    const std::optional<std::string> buffer = SelectionBuffer(answer, multiple, fileBufferSize);
    if (!buffer) {
        return false;
    }
    if (!multiple) {
        const std::string& title = answer.files.front().name;
        if (title.size() + 1 > MaxPathLength) {
            return false;
        }
        m_FileName = UpToNul(*buffer);
        m_FileTitle = title;
    } else if ((m_flags & FileDialogOption::Explorer) != 0) {
        m_FileName = UpToDoubleNul(*buffer);
        // The folder also for a single file, whose buffer holds the full path and no separate folder.
        m_DirectoryName = answer.folder;
    }
    // An old-style multiple selection (names separated by spaces) is not read: nothing changes.
    return true;
}
