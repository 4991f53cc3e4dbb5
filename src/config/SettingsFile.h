// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class Environment;
class FileSystem;
class TextEncoding;

// The settings file "SETTING.ini" beside the executable, read and written with the profile API's
// rules (see IniText.h). The file is never written key by key: a save replaces the whole file at
// once, so it keeps either every key of the save or none.

inline constexpr const char* SettingsFileName = "SETTING.ini";
inline constexpr const char* SettingSection = "SETTING";
inline constexpr const char* MailSection = "MAIL";

// A read returns at most this many bytes of value text, cut at a character boundary.
inline constexpr std::size_t IniValueMaxBytes = 511;
// Only this much of a file is read; a larger file is never rewritten, since the rest would be lost.
inline constexpr std::size_t IniFileMaxBytes = 4U * 1024U * 1024U;

// Keys and values of one section, in the order they are written.
using IniEntries = std::vector<std::pair<std::string, std::string>>;

// The executable's folder, a separator unless the folder already ends with one, and "SETTING.ini".
std::string SettingsFilePath(const Environment& environment);

// The key's value, read as the profile API reads it (blanks and one pair of enclosing quotes
// removed, at most 511 bytes, up to a NUL). The file is in the platform's encoding, or in UTF-8 when
// it starts with UTF-8's byte-order mark. Never fails: a missing or unreadable file, section or key,
// or a file in UTF-16, reads as the empty string. Reading never creates the file.
std::string GetIniValue(const FileSystem& files, const TextEncoding& encoding, const std::string& section,
                        const std::string& key, const std::string& file);

// Many keys of the file, read once: for each (section, key), what GetIniValue would return.
std::vector<std::string> GetIniValues(const FileSystem& files, const TextEncoding& encoding,
                                      const std::vector<std::pair<std::string, std::string>>& keys,
                                      const std::string& file);

// Sets the keys of the section in one atomic replacement of the file, creating the file (readable
// by its owner only) or the section as needed; every other line of the file keeps its bytes, and a
// file in UTF-8 with a byte-order mark stays UTF-8. True on success; false when the file could not be
// read whole or replaced, or is in UTF-16, and the file is then as it was: `failure`, when given,
// then says why, naming the file.
bool PutIniSection(FileSystem& files, const TextEncoding& encoding, const std::string& file, const std::string& section,
                   const IniEntries& entries, std::string* failure = nullptr);

// One key, as PutIniSection.
bool PutIniValue(FileSystem& files, const TextEncoding& encoding, const std::string& file, const std::string& section,
                 const std::string& key, const std::string& value);
