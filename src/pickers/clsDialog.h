// SPDX-License-Identifier: MIT
#pragma once

#include "common/WindowHandle.h"
#include "pickers/FileChooser.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

class MessageBoxService;

// The error number of a cancelled file dialog.
inline constexpr int cdlCancel = 32755;

// The one error the dialog class reports to its caller: a dialog that ended without an accepted file
// while the caller asked for errors (CancelError). The caller catches it right after ShowOpen/ShowSave.
class DialogError : public std::runtime_error
{
public:
    explicit DialogError(int number) : std::runtime_error("Cancel was selected."), m_number(number) {}
    int number() const { return m_number; }

private:
    int m_number;
};

// The reusable Open/Save file dialog. The caller sets the properties, calls ShowOpen or ShowSave and
// reads the chosen file from FileName, FileTitle and, for a multiple selection, DirectoryName. Every
// property starts at zero, false or the empty text; reads and writes are plain loads and stores.
// The dialog itself is the platform's, reached through the chooser; a run-time failure while it runs
// is shown to the operator in a box titled "ShowFileDialog".
class clsDialog
{
public:
    clsDialog(FileChooser& chooser, MessageBoxService& messageBox) : m_chooser(chooser), m_messageBox(messageBox) {}

    // Folder of the last multiple selection.
    const std::string& DirectoryName() const { return m_DirectoryName; }
    // File types: descriptions and patterns in turn, separated by "|" ("Text|*.txt|All|*.*").
    const std::string& Filter() const { return m_Filter; }
    void Filter(std::string value) { m_Filter = std::move(value); }
    // Owner window of the dialog.
    void hWnd(WindowHandle value) { m_hWnd = value; }

    // Run the Open or the Save dialog. With CancelError set, a dialog that ends without an accepted
    // file (cancelled, failed, or a run-time failure) throws DialogError(cdlCancel); the results then
    // keep the values they had.
    void ShowOpen();
    void ShowSave();

    // In: the name shown at first. Out: the chosen file's full path (for a multiple selection the
    // folder and the names, NUL-separated).
    const std::string& FileName() const { return m_FileName; }
    void FileName(std::string value) { m_FileName = std::move(value); }
    // 1-based entry of the filter selected at first; the operator's later choice is not taken over.
    std::int16_t FilterIndex() const { return m_FilterIndex; }
    void FilterIndex(std::int16_t value) { m_FilterIndex = value; }
    void CancelError(bool value) { m_CancelError = value; }
    const std::string& DefaultExt() const { return m_DefaultExt; }
    void DefaultExt(std::string value) { m_DefaultExt = std::move(value); }
    const std::string& DialogTitle() const { return m_DialogTitle; }
    void DialogTitle(std::string value) { m_DialogTitle = std::move(value); }
    // FileDialogOption bits, passed to the dialog unchanged. AllowMultiSelect and Explorer also decide
    // how the answer is read.
    std::uint32_t flags() const { return m_flags; }
    void flags(std::uint32_t value) { m_flags = value; }
    const std::string& InitDir() const { return m_InitDir; }
    void InitDir(std::string value) { m_InitDir = std::move(value); }
    // Characters of the file-name buffer; 260 or less gives 260.
    std::int32_t MaxFileSize() const { return m_MaxFileSize; }
    void MaxFileSize(std::int32_t value) { m_MaxFileSize = value; }
    void FileTitle(std::string value) { m_FileTitle = std::move(value); }
    // Out: the chosen file's name without its folder (single selection).
    const std::string& FileTitle() const { return m_FileTitle; }
    // Reason of the last failed dialog, 0 when none (a plain cancel is 0 too).
    std::uint32_t ExtendedError() const { return m_ExtendedError; }

private:
    void ShowFileDialog(FileDialogMode mode);
    // Takes over an accepted answer; false (and nothing changed) when it does not fit the buffers.
    bool readAnswer(const FileDialogResult& answer, std::size_t fileBufferSize);

    FileChooser& m_chooser;
    MessageBoxService& m_messageBox;

    WindowHandle m_hWnd = 0;
    bool m_CancelError = false;
    std::string m_DefaultExt;
    std::string m_DialogTitle;
    std::string m_FileName;
    std::string m_FileTitle;
    std::string m_Filter;
    std::int16_t m_FilterIndex = 0;
    std::uint32_t m_flags = 0;
    std::string m_InitDir;
    std::int32_t m_MaxFileSize = 0;
    std::uint32_t m_ExtendedError = 0;
    std::string m_DirectoryName;
};
