// SPDX-License-Identifier: MIT
#include "config/SettingsFile.h"

#include "common/Environment.h"
#include "common/FileSystem.h"
#include "common/TextEncoding.h"
#include "common/Utf8.h"
#include "config/IniText.h"

#include <string_view>

namespace {

// How a file holds its text. The program writes the platform's encoding; an operator's editor may
// have saved the file in UTF-8 with a byte-order mark, which is then read and written as UTF-8, or in
// UTF-16, which is neither read nor rewritten (writing ANSI lines into it would ruin it).
enum class FileText
{
    Platform,
    Utf8,
    Utf16,
};

FileText fileTextOf(std::string_view content)
{
    if (content.starts_with("\xEF\xBB\xBF")) {
        return FileText::Utf8;
    }
    if (content.starts_with("\xFF\xFE") || content.starts_with("\xFE\xFF")) {
        return FileText::Utf16;
    }
    return FileText::Platform;
}

std::string toFileText(FileText kind, const TextEncoding& encoding, std::string_view utf8)
{
    return kind == FileText::Utf8 ? ValidUtf8(utf8) : encoding.toPlatform(utf8);
}

std::string fromFileText(FileText kind, const TextEncoding& encoding, std::string_view bytes)
{
    return kind == FileText::Utf8 ? ValidUtf8(bytes) : encoding.fromPlatform(bytes);
}

// The value the profile API returns for a stored text.
std::string valueRead(FileText kind, const TextEncoding& encoding, std::string_view stored)
{
    std::string value = ProfileValue(stored);
    // The value is the text up to its terminating NUL, as a C string would end.
    value = value.substr(0, value.find('\0'));
    return encoding.cutToBytes(fromFileText(kind, encoding, value), IniValueMaxBytes);
}

} // namespace

std::string SettingsFilePath(const Environment& environment)
{
    std::string path = environment.executableFolder();
    const char separator = environment.pathSeparator();
    if (path.empty() || path.back() != separator) {
        path += separator;
    }
    return path + SettingsFileName;
}

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
    const FileText kind = fileTextOf(*content);
    if (kind == FileText::Utf16) {
        return values;
    }
    std::vector<std::pair<std::string, std::string>> fileKeys;
    for (const auto& [section, key] : keys) {
        fileKeys.emplace_back(toFileText(kind, encoding, section), toFileText(kind, encoding, key));
    }
    const std::vector<IniKeyName> names(fileKeys.begin(), fileKeys.end());
    const auto stored = FindIniValues(*content, names);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (stored[i]) {
            values[i] = valueRead(kind, encoding, *stored[i]);
        }
    }
    return values;
}
bool PutIniSection(FileSystem& files, const TextEncoding& encoding, const std::string& file, const std::string& section,
                   const IniEntries& entries, std::string* failure)
{
    const auto fail = [&](const std::string& why) {
        if (failure != nullptr) {
            *failure = why;
        }
        return false;
    };
    std::string content;
    if (auto existing = files.readFile(file, IniFileMaxBytes + 1)) {
        if (existing->size() > IniFileMaxBytes) {
            return fail(file + " is larger than 4 MiB; only that much of it is read, and the rest would be lost");
        }
        content = std::move(*existing);
    } else if (files.entryExists(file)) {
        // There, but unreadable: replacing it would lose what it holds.
        return fail(file + " cannot be read");
    }
    const FileText kind = fileTextOf(content);
    if (kind == FileText::Utf16) {
        return fail(file + " is in UTF-16, which is neither read nor rewritten");
    }
    const std::string fileSection = toFileText(kind, encoding, section);
    for (const auto& [key, value] : entries) {
        content = SetIniValue(content, fileSection, toFileText(kind, encoding, key),
                              ProfileStoredText(toFileText(kind, encoding, value)), encoding.lineEnd());
    }
    if (!files.replaceFile(file, content, NewFileAccess::Private)) {
        const std::string why = files.lastFailure();
        return fail(why.empty() ? "cannot replace " + file : why);
    }
    return true;
}

bool PutIniValue(FileSystem& files, const TextEncoding& encoding, const std::string& file, const std::string& section,
                 const std::string& key, const std::string& value)
{
    return PutIniSection(files, encoding, file, section, {{key, value}});
}
