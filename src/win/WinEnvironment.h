// SPDX-License-Identifier: MIT
#pragma once

#include "common/Environment.h"

// The program's folder is the folder of its own module (GetModuleFileNameW); iisreset.exe is looked
// for in the system folder (GetSystemDirectoryW).
class WinEnvironment : public Environment
{
public:
    // executablePath overrides the module's own path, for tests.
    explicit WinEnvironment(std::string executablePath = {});
    std::string executableFolder() const override;
    std::string systemFolder() const override;
    std::string computerName() const override;
    char pathSeparator() const override { return '\\'; }
    std::string executableSuffix() const override { return ".exe"; }

private:
    std::string m_folder;
};

// The folder part of a Windows path, without a trailing separator unless it is a drive's root ("C:\").
// Empty when the path names no folder.
std::string WinParentFolder(const std::string& path);
