// SPDX-License-Identifier: MIT
#include "fakes/FakePlatform.h"

#include "common/Utf8.h"

LocalDateTime FakeClock::localNow() const
{
    return m_local;
}

std::string FakeEncoding::toPlatform(std::string_view utf8) const
{
    return ValidUtf8(utf8);
}

std::string FakeEncoding::fromPlatform(std::string_view bytes) const
{
    return ValidUtf8(bytes);
}

std::string FakeEncoding::cutToBytes(std::string_view utf8, std::size_t maxBytes) const
{
    return CutUtf8(utf8, maxBytes);
}

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

class FakeStagedFile : public StagedFile
{
public:
    FakeStagedFile(FakeFileSystem& fs, std::string path) : m_fs(fs), m_path(std::move(path)) {}
    bool write(std::string_view bytes) override
    {
        m_content.append(bytes);
        return !m_fs.failWrites;
    }
    bool commit() override
    {
        if (m_fs.failWrites) {
            return false;
        }
        m_fs.files[m_path] = m_content;
        return true;
    }

private:
    FakeFileSystem& m_fs;
    std::string m_path;
    std::string m_content;
};

} // namespace

bool FakeFileSystem::canWrite(const std::string& path) const
{
    return !failWrites && folders.count(folderOf(path)) != 0 && folders.count(path) == 0;
}

bool FakeFileSystem::entryExists(const std::string& path) const
{
    return folders.count(path) != 0 || files.count(path) != 0;
}

bool FakeFileSystem::appendToFile(const std::string& path, std::string_view bytes)
{
    if (!canWrite(path)) {
        return false;
    }
    files[path].append(bytes);
    return true;
}

bool FakeFileSystem::createIfMissing(const std::string& path)
{
    if (files.count(path) != 0) {
        return true;
    }
    if (!canWrite(path)) {
        return false;
    }
    files[path];
    return true;
}

std::optional<std::string> FakeFileSystem::readFile(const std::string& path, std::size_t maxBytes) const
{
    auto it = files.find(path);
    if (it == files.end()) {
        return std::nullopt;
    }
    return it->second.substr(0, maxBytes);
}

bool FakeFileSystem::replaceFile(const std::string& path, std::string_view content, NewFileAccess access)
{
    if (!canWrite(path)) {
        return false;
    }
    files[path] = std::string(content);
    ++replacements;
    lastAccess = access;
    return true;
}

std::unique_ptr<StagedFile> FakeFileSystem::stageFile(const std::string& path, const std::string& /*temporaryName*/)
{
    if (!canWrite(path)) {
        return nullptr;
    }
    return std::make_unique<FakeStagedFile>(*this, path);
}
