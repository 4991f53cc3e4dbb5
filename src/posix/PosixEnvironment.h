// SPDX-License-Identifier: MIT
#pragma once

#include "common/Environment.h"

// The program's folder is the folder of /proc/self/exe; the iisreset stand-in lives there too.
class PosixEnvironment : public Environment
{
public:
    // executablePath overrides /proc/self/exe, for tests.
    explicit PosixEnvironment(std::string executablePath = {});
    std::string executableFolder() const override;
    std::string systemFolder() const override;
    std::string computerName() const override;
    char pathSeparator() const override { return '/'; }
    std::string executableSuffix() const override { return {}; }

private:
    std::string m_folder;
};

// The folder part of a path, without a trailing "/" unless it is the root.
std::string ParentFolder(const std::string& path);
