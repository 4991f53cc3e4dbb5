// SPDX-License-Identifier: MIT
#pragma once

#include "common/WindowHandle.h"

#include <string>

class FolderChooser;

// Lets the operator choose a folder, with `initialFolder` preselected and `prompt` shown above the
// choice. Returns the folder's full path exactly as the platform gives it, up to its first NUL, or
// the empty text when the operator cancelled or chose something that is not a file-system folder.
std::string BrowseForFolder(FolderChooser& chooser, WindowHandle owner, const std::string& initialFolder,
                            const std::string& prompt);
