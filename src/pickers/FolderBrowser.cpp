// SPDX-License-Identifier: MIT
#include "pickers/FolderBrowser.h"

#include "pickers/FileDialogText.h"
#include "pickers/FolderChooser.h"

std::string BrowseForFolder(FolderChooser& chooser, WindowHandle owner, const std::string& initialFolder,
                            const std::string& prompt)
{
    // A path is text up to its NUL; the initial folder and the answer are both read that way.
    return UpToNul(chooser.browseForFolder(owner, UpToNul(initialFolder), prompt));
}
