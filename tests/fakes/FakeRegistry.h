// SPDX-License-Identifier: MIT
#pragma once

#include "config/RegistryStore.h"

#include <map>
#include <string>
#include <vector>

// A registry in memory: HKEY_LOCAL_MACHINE values by "subkey\name". Records every read and write;
// failWrites refuses every write, as a process without administrator rights sees it.
class FakeRegistry : public RegistryStore
{
public:
    std::map<std::string, std::string> values;
    mutable std::vector<std::string> reads; // value names, in order
    std::vector<std::string> writes;        // "name=value", in order
    bool failWrites = false;

    static std::string path(const std::string& subkey, const std::string& valueName)
    {
        return subkey + "\\" + valueName;
    }

    std::string read(RegistryHive /*hive*/, const std::string& subkey, const std::string& valueName) const override
    {
        reads.push_back(valueName);
        const auto it = values.find(path(subkey, valueName));
        return it == values.end() ? std::string() : it->second;
    }

    bool write(RegistryHive /*hive*/, const std::string& subkey, const std::string& valueName,
               const std::string& value) override
    {
        if (failWrites) {
            return false;
        }
        writes.push_back(valueName + "=" + value);
        values[path(subkey, valueName)] = value;
        return true;
    }
};
