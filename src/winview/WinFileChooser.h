// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/FileChooser.h"

#include <string>
#include <windows.h>

// The system's Open and Save dialogs (GetOpenFileNameW, GetSaveFileNameW): the core's request is laid
// out in an OPENFILENAMEW (the file-type list NUL-separated, the file-name buffer of the requested
// size holding the initial name, a 260-character file-title buffer, the option bits unchanged), and
// the buffers are read back as the dialog fills them. A dialog that ends without a file is a cancel
// when CommDlgExtendedError() says 0, otherwise a failure with that code; one that is accepted but
// names no file fails as an invalid file name.
class WinFileChooser : public FileChooser
{
public:
    // The owner of a request that names none.
    void setOwner(HWND owner) { m_owner = owner; }
    FileDialogResult choose(const FileDialogRequest& request) override;
    // UTF-16 code units, 260 of them (MAX_PATH) unless the caller asks for more.
    DialogBuffers buffers() const override { return {DialogTextUnit::Utf16, MAX_PATH, MAX_PATH}; }

private:
    HWND m_owner = nullptr;
};

// The file-type list in the dialog's form: description and pattern of each entry, each followed by a
// NUL; the text's own terminator ends the list with a second NUL. Empty for no entries.
std::wstring DialogFilterList(const std::vector<FileFilter>& filters);

// What an accepted dialog's file-name buffer says, given where the first file name starts in it
// (nFileOffset) and the option bits: one full path, the folder and the names of an Explorer-style
// multiple selection (NUL-separated), or of an old-style one (space-separated).
FileDialogResult ReadAcceptedBuffer(const std::wstring& buffer, std::size_t fileOffset, std::uint32_t flags);
