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
    std::string lastFailure() const override { return m_lastFailure; }

    // The last step of a staged write: the synced temporary takes the final name. False when it did
    // not, and the final file is then as it was. Tests put a failure here.
    virtual bool renameOver(const std::string& temporary, const std::string& target);

private:
    std::string m_lastFailure;
};
