// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// The registry hives the program uses.
enum class RegistryHive
{
    LocalMachine, // HKEY_LOCAL_MACHINE
};

// The system's store of named string values under key paths (the registry on Windows). Values are
// kept exactly as written: no blank is trimmed and no quote removed.
class RegistryStore
{
public:
    virtual ~RegistryStore() = default;
    // The string value of the key, exactly as written. A missing store, key or value, or one that
    // cannot be read (no access), reads as the empty string; no error is raised.
    virtual std::string read(RegistryHive hive, const std::string& subkey, const std::string& valueName) const = 0;
    // Creates the key when needed and sets the value. False when it could not (no rights to write,
    // a full disk); the store is then as it was.
    virtual bool write(RegistryHive hive, const std::string& subkey, const std::string& valueName,
                       const std::string& value) = 0;
};
