// SPDX-License-Identifier: MIT
#include "config/SettingsFile.h"

#include "common/Environment.h"
#include "common/FileSystem.h"
#include "common/TextEncoding.h"
#include "config/IniText.h"

std::string SettingsFilePath(const Environment& environment)
{
    std::string path = environment.executableFolder();
    const char separator = environment.pathSeparator();
    if (path.empty() || path.back() != separator) {
        path += separator;
    }
    return path + SettingsFileName;
}

namespace {

// The value the profile API returns for a stored text.
std::string valueRead(const TextEncoding& encoding, std::string_view stored)
{
    std::string value = ProfileValue(stored);
    // The value is the text up to its terminating NUL, as a C string would end.
    value = value.substr(0, value.find('\0'));
    return encoding.cutToBytes(encoding.fromPlatform(value), IniValueMaxBytes);
}

} // namespace

std::string GetIniValue(const FileSystem& files, const TextEncoding& encoding, const std::string& section,
                        const std::string& key, const std::string& file)
{
    return GetIniValues(files, encoding, {{section, key}}, file).front();
}

std::vector<std::string> GetIniValues(const FileSystem& files, const TextEncoding& encoding,
                                      const std::vector<std::pair<std::string, std::string>>& keys,
                                      const std::string& file)
{
    std::vector<std::string> values(keys.size());
    const auto content = files.readFile(file, IniFileMaxBytes);
    if (!content) {
        return values;
    }
    std::vector<std::pair<std::string, std::string>> platformKeys;
    for (const auto& [section, key] : keys) {
        platformKeys.emplace_back(encoding.toPlatform(section), encoding.toPlatform(key));
    }
    const std::vector<IniKeyName> names(platformKeys.begin(), platformKeys.end());
    const auto stored = FindIniValues(*content, names);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (stored[i]) {
            values[i] = valueRead(encoding, *stored[i]);
        }
    }
    return values;
}

bool PutIniSection(FileSystem& files, const TextEncoding& encoding, const std::string& file, const std::string& section,
                   const IniEntries& entries)
{
    std::string content;
    if (auto existing = files.readFile(file, IniFileMaxBytes + 1)) {
        if (existing->size() > IniFileMaxBytes) {
            return false;
        }
        content = std::move(*existing);
    } else if (files.entryExists(file)) {
        return false; // there, but unreadable: replacing it would lose what it holds
    }
    const std::string platformSection = encoding.toPlatform(section);
    for (const auto& [key, value] : entries) {
        content = SetIniValue(content, platformSection, encoding.toPlatform(key),
                              ProfileStoredText(encoding.toPlatform(value)));
    }
    return files.replaceFile(file, content, NewFileAccess::Private);
}

bool PutIniValue(FileSystem& files, const TextEncoding& encoding, const std::string& file, const std::string& section,
                 const std::string& key, const std::string& value)
{
    return PutIniSection(files, encoding, file, section, {{key, value}});
}
