// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

// A fresh folder under the user's temporary folder, removed with everything in it at the end. By
// default its name has a space, Japanese characters and a character outside code page 932 ("é"), so
// any path that passes through an ANSI call on its way to the system no longer finds it; a test that
// compares with the system's own ANSI calls names a stem they can reach.
class WinTestFolder
{
public:
    static constexpr const char* DefaultStem = "監視 テスト é ";
    explicit WinTestFolder(const std::string& stem = DefaultStem);
    ~WinTestFolder();
    WinTestFolder(const WinTestFolder&) = delete;
    WinTestFolder& operator=(const WinTestFolder&) = delete;

    // The folder's path, UTF-8, without a trailing separator.
    const std::string& path() const { return m_path; }
    // The path of an entry in the folder.
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Small direct system calls for the tests' own arrangements and checks, independent of the adapters.
bool MakeFolder(const std::string& path);
bool SetAttributes(const std::string& path, unsigned long attributes);
unsigned long AttributesOf(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadWholeFile(const std::string& path);
// The entries of a folder, without "." and "..".
std::size_t EntryCount(const std::string& folder);
