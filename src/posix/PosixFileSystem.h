// SPDX-License-Identifier: MIT
#pragma once

#include "common/FileSystem.h"

class PosixFileSystem : public FileSystem
{
public:
    bool fileExists(const std::string& path) const override;
    bool entryExists(const std::string& path) const override;
    bool appendToFile(const std::string& path, std::string_view bytes) override;
    bool createIfMissing(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes) const override;
    bool replaceFile(const std::string& path, std::string_view content, NewFileAccess access) override;
    std::unique_ptr<StagedFile> stageFile(const std::string& path, const std::string& temporaryName) override;
};
