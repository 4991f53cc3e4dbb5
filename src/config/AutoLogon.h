// SPDX-License-Identifier: MIT
#pragma once

#include "config/RegistryStore.h"

#include <string>

class Environment;

// The Windows auto-logon values, written by the monitoring save and read back at start-up when the
// settings file holds no auto-logon entry.
inline constexpr const char* WinlogonKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr const char* AutoAdminLogon = "AutoAdminLogon";
inline constexpr const char* DefaultUserName = "DefaultUserName";
inline constexpr const char* DefaultDomainName = "DefaultDomainName";
inline constexpr const char* DefaultPassword = "DefaultPassword";

// The value as written, up to its first NUL; the empty string when the key or value cannot be read.
std::string GetRegValue(const RegistryStore& store, RegistryHive hive, const std::string& subkey,
                        const std::string& valueName);

// Writes the value; true exactly when it was written.
bool PutRegValue(RegistryStore& store, RegistryHive hive, const std::string& subkey, const std::string& valueName,
                 const std::string& text);

// The computer's own name with trailing blanks removed; empty when it cannot be had.
std::string ComputerName(const Environment& environment);
