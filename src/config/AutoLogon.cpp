// SPDX-License-Identifier: MIT
#include "config/AutoLogon.h"

#include "common/Environment.h"

std::string GetRegValue(const RegistryStore& store, RegistryHive hive, const std::string& subkey,
                        const std::string& valueName)
{
    std::string value = store.read(hive, subkey, valueName);
    return value.substr(0, value.find('\0'));
}

bool PutRegValue(RegistryStore& store, RegistryHive hive, const std::string& subkey, const std::string& valueName,
                 const std::string& text)
{
    return store.write(hive, subkey, valueName, text);
}

std::string ComputerName(const Environment& environment)
{
    std::string name = environment.computerName();
    const auto last = name.find_last_not_of(' ');
    name.erase(last == std::string::npos ? 0 : last + 1);
    return name;
}
