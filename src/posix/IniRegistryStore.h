// SPDX-License-Identifier: MIT
#pragma once

#include "config/RegistryStore.h"

#include <string>

class FileSystem;

// The registry kept in one INI-format file (the program uses /etc/sentrybell/registry.ini): the
// section is the key path ("HKEY_LOCAL_MACHINE\SOFTWARE\...\Winlogon"), the keys are the value names.
// Values come back exactly as written; a backslash, CR or LF inside one is stored as "\\", "\r" or
// "\n", so a value is always one line. Every write replaces the file atomically; a new store is
// readable by its owner only, since it holds a password. Writing needs the rights to the file's
// folder (root for /etc), as HKEY_LOCAL_MACHINE needs an administrator.
class IniRegistryStore : public RegistryStore
{
public:
    IniRegistryStore(FileSystem& files, std::string path);

    std::string read(RegistryHive hive, const std::string& subkey, const std::string& valueName) const override;
    bool write(RegistryHive hive, const std::string& subkey, const std::string& valueName,
               const std::string& value) override;

private:
    FileSystem& m_files;
    std::string m_path;
};
