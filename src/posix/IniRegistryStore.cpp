// SPDX-License-Identifier: MIT
#include "posix/IniRegistryStore.h"

#include "common/FileSystem.h"
#include "config/IniText.h"
#include "posix/PosixEnvironment.h"

#include <sys/stat.h>

namespace {

// A store is small; a larger file is not ours to rewrite.
constexpr std::size_t MaxStoreBytes = 4U * 1024U * 1024U;

std::string sectionFor(RegistryHive hive, const std::string& subkey)
{
    switch (hive) {
    case RegistryHive::LocalMachine:
        break;
    }
    return "HKEY_LOCAL_MACHINE\\" + subkey;
}

bool hasBlankEnd(const std::string& name)
{
    return name.front() == ' ' || name.front() == '\t' || name.back() == ' ' || name.back() == '\t';
}

// Names that one INI line can hold and give back: no line break, nothing the file's syntax would
// take for its own, no blank at either end.
bool storableNames(const std::string& subkey, const std::string& valueName)
{
    if (subkey.empty() || valueName.empty() || hasBlankEnd(subkey) || hasBlankEnd(valueName)) {
        return false;
    }
    if (subkey.find_first_of("]\r\n") != std::string::npos || valueName.find_first_of("=\r\n") != std::string::npos) {
        return false;
    }
    return valueName.front() != '[' && valueName.front() != ';';
}

std::string escaped(const std::string& value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The reverse of escaped(); a backslash before any other character, as a hand-edited file may
// have, stays as it is.
std::string unescaped(std::string_view stored)
{
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\\' && i + 1 < stored.size()) {
            const char next = stored[i + 1];
            if (next == '\\' || next == 'r' || next == 'n') {
                out += next == '\\' ? '\\' : (next == 'r' ? '\r' : '\n');
                ++i;
                continue;
            }
        }
        out += stored[i];
    }
    return out;
}

} // namespace

IniRegistryStore::IniRegistryStore(FileSystem& files, std::string path) : m_files(files), m_path(std::move(path)) {}

std::string IniRegistryStore::read(RegistryHive hive, const std::string& subkey, const std::string& valueName) const
{
    if (!storableNames(subkey, valueName)) {
        return {};
    }
    const auto content = m_files.readFile(m_path, MaxStoreBytes);
    if (!content) {
        return {};
    }
    const auto stored = FindIniValue(*content, sectionFor(hive, subkey), valueName);
    return stored ? unescaped(*stored) : std::string();
}

bool IniRegistryStore::write(RegistryHive hive, const std::string& subkey, const std::string& valueName,
                             const std::string& value)
{
    if (!storableNames(subkey, valueName)) {
        return false;
    }
    std::string content;
    if (auto existing = m_files.readFile(m_path, MaxStoreBytes + 1)) {
        if (existing->size() > MaxStoreBytes) {
            return false;
        }
        content = std::move(*existing);
    } else if (m_files.entryExists(m_path)) {
        return false; // there, but unreadable: replacing it would lose what it holds
    } else {
        // The store's own folder is made on the first write, as creating a registry key would be;
        // without the rights for it the write below fails.
        const std::string folder = ParentFolder(m_path);
        if (!folder.empty() && !m_files.entryExists(folder)) {
            ::mkdir(folder.c_str(), 0755);
        }
    }
    content = SetIniValue(content, sectionFor(hive, subkey), valueName, escaped(value), "\n");
    return m_files.replaceFile(m_path, content, NewFileAccess::OwnerOnly);
}
