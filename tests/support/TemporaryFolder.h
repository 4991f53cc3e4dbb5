// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it at destruction.
// The name starts with `prefix` (which may hold spaces). Throws std::runtime_error when no folder
// can be made.
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const std::string& prefix = "sentrybell-test");
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The path of `name` inside the folder.
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Writes `content` to `path` and gives it the permission bits `mode` (0755 for a script). Throws
// std::runtime_error or std::filesystem::filesystem_error when it cannot.
void WriteFile(const std::string& path, const std::string& content, std::filesystem::perms mode);
// The whole content of a file, or the empty text when it cannot be read.
std::string ReadWholeFile(const std::string& path);
