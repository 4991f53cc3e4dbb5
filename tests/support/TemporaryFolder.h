// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it at destruction.
// Its name starts with `stem`. By default that holds a space, Japanese
// characters and a character outside code page 932 ("é"), so that a path which passes through an
// ANSI call, or is split at a space on its way to the system, no longer finds it; a test that
// compares with the system's own ANSI calls names a stem they can reach. Throws std::runtime_error
// when no folder can be made.
class TemporaryFolder
{
public:
    static constexpr const char* DefaultStem = "監視 テスト é ";
    explicit TemporaryFolder(const std::string& stem = DefaultStem);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // The folder's path, UTF-8, without a trailing separator.
    const std::string& path() const { return m_path; }
    // The path of an entry in the folder.
    std::string operator/(const std::string& name) const;

private:
    std::string m_path;
};
