// SPDX-License-Identifier: MIT
#pragma once

#include "common/Clock.h"
#include "common/Environment.h"
#include "common/FileSystem.h"
#include "common/OperatorReport.h"
#include "common/TextEncoding.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// A clock that moves only when the test moves it.
class FakeClock : public Clock
{
public:
    LocalDateTime localNow() const override;
    std::chrono::steady_clock::time_point steadyNow() const override { return m_steady; }
    std::chrono::system_clock::time_point systemNow() const override { return m_system + m_steady.time_since_epoch(); }
    void advance(std::chrono::milliseconds step) { m_steady += step; }
    void setLocal(LocalDateTime local) { m_local = local; }

private:
    LocalDateTime m_local{2026, 12, 7, 9, 5, 3};
    std::chrono::steady_clock::time_point m_steady{};
    std::chrono::system_clock::time_point m_system{std::chrono::seconds(1796634303)}; // 2026-12-07 09:05:03 UTC
};

// Keeps every report, in order: its text, and its kind at the same place of `kinds`.
class FakeOperatorReport : public OperatorReport
{
public:
    std::vector<std::string> reports;
    std::vector<ReportKind> kinds;
    void report(ReportKind kind, const std::string& message) override
    {
        kinds.push_back(kind);
        reports.push_back(message);
    }
    std::vector<std::string> events; // each as its line
    void event(const OperationalEvent& event) override { events.push_back(EventLine(event)); }
};

class FakeEnvironment : public Environment
{
public:
    std::string folder = "/opt/sentrybell";
    std::string hostName = "webhost";
    std::string executableFolder() const override { return folder; }
    std::string systemFolder() const override { return folder; }
    std::string computerName() const override { return hostName; }
    char pathSeparator() const override { return '/'; }
    std::string executableSuffix() const override { return {}; }
};

// UTF-8 is the platform encoding, as on Linux; new files end their lines with `lineEnding`.
class FakeEncoding : public TextEncoding
{
public:
    std::string lineEnding = "\n";
    std::string toPlatform(std::string_view utf8) const override;
    std::string fromPlatform(std::string_view bytes) const override;
    std::string cutToBytes(std::string_view utf8, std::size_t maxBytes) const override;
    std::string_view lineEnd() const override { return lineEnding; }
};

// Files in memory. Folders must be made with addFolder() before files can be written in them;
// failWrites makes every write fail as a full disk would. Counts the atomic replacements.
class FakeFileSystem : public FileSystem
{
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders{"/"};
    bool failWrites = false;
    int replacements = 0; // replaceFile calls that replaced a file
    NewFileAccess lastAccess = NewFileAccess::Ordinary;

    void addFolder(const std::string& path) { folders.insert(path); }

    bool fileExists(const std::string& path) const override { return files.count(path) != 0; }
    bool entryExists(const std::string& path) const override;
    bool appendToFile(const std::string& path, std::string_view bytes) override;
    bool createIfMissing(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes) const override;
    bool replaceFile(const std::string& path, std::string_view content, NewFileAccess access) override;
    std::unique_ptr<StagedFile> stageFile(const std::string& path, const std::string& temporaryName) override;
    std::string lastFailure() const override { return failWrites ? "cannot write: the fake disk is full" : ""; }

    bool canWrite(const std::string& path) const;
};
