// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/FolderChooser.h"

#include <windows.h>

// The shell's folder-browse dialog (SHBrowseForFolderW): the tree starts at the desktop, the prompt
// stands above it, and the initial folder is selected when the dialog opens (BFFM_SETSELECTIONW from
// the browse callback). The chosen item's path comes from SHGetPathFromIDListW; the item list is
// released with CoTaskMemFree whether or not it had a path. The calling thread must have initialised
// COM as a single-threaded apartment.
class WinFolderChooser : public FolderChooser
{
public:
    // The owner when the caller names none.
    void setOwner(HWND owner) { m_owner = owner; }
    std::string browseForFolder(WindowHandle owner, const std::string& initialFolder,
                                const std::string& prompt) override;

private:
    HWND m_owner = nullptr;
};
