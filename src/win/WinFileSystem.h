// SPDX-License-Identifier: MIT
#pragma once

#include "common/FileSystem.h"

#include <functional>

// Files through the W calls: probes with GetFileAttributesW, writes with CreateFileW, replacement by a
// temporary beside the file, flushed and renamed over it with MoveFileExW (write-through); through a
// symbolic link, beside the link's target, which is replaced and the link kept. The temporary takes
// the replaced file's access rules and attributes. Bytes are written as given: the
// caller has converted the text to the ANSI code page and chosen its line ends.
class WinFileSystem : public FileSystem
{
public:
    // `report` is where the refusals of the log go for the operator (standard error by default).
    explicit WinFileSystem(std::function<void(const std::string&)> report = {});

    bool fileExists(const std::string& path) const override;
    bool entryExists(const std::string& path) const override;
    bool appendToFile(const std::string& path, std::string_view bytes) override;
    bool createIfMissing(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes) const override;
    bool replaceFile(const std::string& path, std::string_view content, NewFileAccess access) override;
    std::unique_ptr<StagedFile> stageFile(const std::string& path, const std::string& temporaryName) override;
    std::string lastFailure() const override { return m_lastFailure; }

private:
    std::function<void(const std::string&)> m_report;
    // `synced`: the commit flushes the file and writes the rename through (FileSystem::stageFile says
    // when that is not worth its cost).
    std::unique_ptr<StagedFile> stage(const std::string& path, const std::string& temporaryName, NewFileAccess access,
                                      bool synced);

    std::string m_lastFailure;
};
