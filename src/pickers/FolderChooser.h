// SPDX-License-Identifier: MIT
#pragma once

#include "common/WindowHandle.h"

#include <string>

// The platform's folder-browse dialog.
class FolderChooser
{
public:
    virtual ~FolderChooser() = default;
    // Shows the modal dialog, owned by `owner` (0 lets the adapter choose), with `initialFolder`
    // selected when it names an existing folder and `prompt` shown to the operator. Returns the
    // chosen folder's full path with no separator added at its end, or the empty text when the
    // operator cancelled, chose an item that is not a file-system folder, or the dialog could not be
    // shown. Never throws for a dialog problem.
    virtual std::string browseForFolder(WindowHandle owner, const std::string& initialFolder,
                                        const std::string& prompt) = 0;
};
