// SPDX-License-Identifier: MIT
#pragma once

#include "common/FileSystem.h"

#include <functional>
#include <sys/types.h>

class PosixFileSystem : public FileSystem
{
public:
    // `report` is where the refusals of the log go for the operator (standard error by default).
    explicit PosixFileSystem(std::function<void(const std::string&)> report = {});

    bool fileExists(const std::string& path) const override;
    bool entryExists(const std::string& path) const override;
    bool appendToFile(const std::string& path, std::string_view bytes) override;
    bool createIfMissing(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes) const override;
    bool replaceFile(const std::string& path, std::string_view content, NewFileAccess access) override;
    std::unique_ptr<StagedFile> stageFile(const std::string& path, const std::string& temporaryName) override;
    std::string lastFailure() const override { return m_lastFailure; }

    // The last step of a staged write: the temporary takes the final name. False when it did
    // not, and the final file is then as it was. Tests put a failure here.
    virtual bool renameOver(const std::string& temporary, const std::string& target);

private:
    std::string m_lastFailure;

    void refuseLog(const std::string& path, mode_t type) const;

    std::function<void(const std::string&)> m_report;
};
