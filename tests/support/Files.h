// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

// Direct file operations for the tests' own arrangements and checks, independent of the adapters.

// Writes `content` to `path` and, when given, gives it the permission bits `mode` (0755 for a
// script); without a mode the file has what the umask leaves. Throws std::runtime_error or
// std::filesystem::filesystem_error when it cannot.
void WriteFile(const std::string& path, const std::string& content,
               std::optional<std::filesystem::perms> mode = std::nullopt);
// The whole content of a file, or the empty text when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// The permission bits of an entry (with setuid, setgid and sticky), 0 when there is none.
mode_t ModeOf(const std::string& path);

// Sets the process's umask while it lives.
class ScopedUmask
{
public:
    explicit ScopedUmask(mode_t mask);
    ~ScopedUmask();
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_previous;
};
