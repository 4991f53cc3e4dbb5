// SPDX-License-Identifier: MIT
#include "win/WinFileSystem.h"

#include "win/FileSecurity.h"
#include "win/SystemMessage.h"
#include "win/UniqueHandle.h"
#include "win/WideText.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The wide form of a path, or nothing for a path the system could not be given whole: a NUL would
// silently cut it to another path.
std::optional<std::wstring> widePath(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return Widen(path);
}

DWORD attributesOf(const std::string& path)
{
    const auto wide = widePath(path);
    return wide ? GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        DWORD written = 0;
        if (WriteFile(file, bytes.data(), chunk, &written, nullptr) == FALSE || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// A file of the given name in the same folder as path.
std::wstring siblingPath(const std::wstring& path, const std::wstring& name)
{
    const auto separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? name : path.substr(0, separator + 1) + name;
}

// The attributes a replaced file hands on to its successor (a hidden settings file stays hidden).
constexpr DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY |
                                 FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class WinStagedFile : public StagedFile
{
public:
    WinStagedFile(std::wstring target, std::wstring temporary, UniqueHandle file, bool synced)
        : m_target(std::move(target)), m_temporary(std::move(temporary)), m_file(std::move(file)), m_synced(synced)
    {
    }
    ~WinStagedFile() override
    {
        if (!m_committed) {
            m_file.reset();
            SetFileAttributesW(m_temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(m_temporary.c_str());
        }
    }
    WinStagedFile(const WinStagedFile&) = delete;
    WinStagedFile& operator=(const WinStagedFile&) = delete;

    bool write(std::string_view bytes) override
    {
        m_ok = m_ok && m_file && writeAll(m_file.get(), bytes);
        return m_ok;
    }

    bool commit() override
    {
        if (!m_ok || !m_file || (m_synced && FlushFileBuffers(m_file.get()) == FALSE) || !m_file.close()) {
            return false;
        }
        const DWORD existing = GetFileAttributesW(m_target.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES) {
            if ((existing & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                return false;
            }
            if ((existing & KeptAttributes) != 0 &&
                SetFileAttributesW(m_temporary.c_str(), existing & KeptAttributes) == FALSE) {
                return false;
            }
        }
        // One rename (written through when synced): the file is the old one or the new one, never a
        // mix. (Not ReplaceFileW: Wine's leaves a stray backup behind when it fails, and replaces a
        // folder.)
        m_committed = MoveFileExW(m_temporary.c_str(), m_target.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | (m_synced ? MOVEFILE_WRITE_THROUGH : 0)) != FALSE;
        return m_committed;
    }

private:
    std::wstring m_target;
    std::wstring m_temporary;
    UniqueHandle m_file;
    bool m_synced;
    bool m_ok = true;
    bool m_committed = false;
};

// The file a save replaces: the path itself, or for a symbolic link the file it leads to, so that the
// link stays and its target keeps receiving the saves. An existing file is asked for its final path
// (Wine shows a link with its target's attributes, so the attributes cannot tell). Nothing when the
// file is there but cannot be opened.
std::optional<std::wstring> fileBehindLink(const std::wstring& path)
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return path;
    }
    UniqueHandle file(
        CreateFileW(path.c_str(), 0, ShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::wstring resolved(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file.get(), resolved.data(), static_cast<DWORD>(resolved.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return std::nullopt;
        }
        if (length < resolved.size()) {
            resolved.resize(length);
            break;
        }
        resolved.resize(length);
    }
    // "\\?\C:\..." reads better, and works the same, as "C:\...".
    if (resolved.starts_with(LR"(\\?\)") && resolved.size() > 6 && resolved[5] == L':') {
        resolved.erase(0, 4);
    }
    return resolved;
}

} // namespace

bool WinFileSystem::fileExists(const std::string& path) const
{
    // What the directory search finds with no attribute asked for: an ordinary file, not a folder,
    // and not a hidden or system file.
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool WinFileSystem::entryExists(const std::string& path) const
{
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

WinFileSystem::WinFileSystem(std::function<void(const std::string&)> report) : m_report(std::move(report))
{
    if (!m_report) {
        m_report = [](const std::string& text) { std::fprintf(stderr, "sentrybell: %s\n", text.c_str()); };
    }
}

bool WinFileSystem::appendToFile(const std::string& path, std::string_view bytes)
{
    const auto wide = widePath(path);
    if (!wide) {
        return false;
    }
    // FILE_APPEND_DATA alone: every write lands at the end, even beside another writer. (Wine is
    // weaker: two processes appending at once can write at the same offset.) A symbolic link or a
    // junction in the log's place is opened as itself, not followed, and refused below.
    UniqueHandle file(CreateFileW(wide->c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || GetFileInformationByHandle(file.get(), &info) == FALSE ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        m_report("log \"" + path + "\" is a link or not a regular file: nothing was written to it");
        return false;
    }
    LARGE_INTEGER before{};
    before.LowPart = info.nFileSizeLow;
    before.HighPart = static_cast<LONG>(info.nFileSizeHigh);
    if (!writeAll(file.get(), bytes)) {
        // A full disk took part of the line: cut it off (through a handle that may set the end of the
        // file), so that the log loses the line whole and the next one starts on a line of its own.
        UniqueHandle writer(ReOpenFile(file.get(), FILE_WRITE_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, 0));
        FILE_END_OF_FILE_INFO end{before};
        const bool cut =
            writer && SetFileInformationByHandle(writer.get(), FileEndOfFileInfo, &end, sizeof end) != FALSE;
        m_report("log \"" + path + "\": the line did not fit on the disk and was left out" +
                 (cut ? "" : ", but its beginning could not be cut off"));
        return false;
    }
    return file.close();
}

bool WinFileSystem::createIfMissing(const std::string& path)
{
    const auto wide = widePath(path);
    if (!wide) {
        return false;
    }
    // Reading the attributes is access enough to create the file, and opens an existing read-only
    // file without touching it.
    UniqueHandle file(CreateFileW(wide->c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && file.close();
}

std::optional<std::string> WinFileSystem::readFile(const std::string& path, std::size_t maxBytes) const
{
    const auto wide = widePath(path);
    if (!wide) {
        return std::nullopt;
    }
    UniqueHandle file(
        CreateFileW(wide->c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    while (content.size() < maxBytes) {
        const auto wanted = static_cast<DWORD>(std::min(sizeof buffer, maxBytes - content.size()));
        DWORD got = 0;
        if (ReadFile(file.get(), buffer, wanted, &got, nullptr) == FALSE) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, got);
    }
    return content;
}

bool WinFileSystem::replaceFile(const std::string& linkOrFile, std::string_view content, NewFileAccess access)
{
    m_lastFailure.clear();
    const auto wide = widePath(linkOrFile);
    const auto target = wide ? fileBehindLink(*wide) : std::nullopt;
    if (!target) {
        m_lastFailure = "cannot open " + linkOrFile + ": " + SystemMessage(GetLastError());
        return false;
    }
    const std::string path = Narrow(*target);
    const auto separator = path.find_last_of("\\/");
    const std::string temporaryName = (separator == std::string::npos ? path : path.substr(separator + 1)) + ".tmp";
    auto staged = stage(path, temporaryName, access, true);
    if (!staged) {
        m_lastFailure = "cannot create " + path + ".tmp: " + SystemMessage(GetLastError());
        return false;
    }
    if (!staged->write(content) || !staged->commit()) {
        m_lastFailure = "cannot replace " + path + ": " + SystemMessage(GetLastError());
        return false;
    }
    return true;
}

std::unique_ptr<StagedFile> WinFileSystem::stageFile(const std::string& path, const std::string& temporaryName)
{
    return stage(path, temporaryName, NewFileAccess::Ordinary, false);
}

std::unique_ptr<StagedFile> WinFileSystem::stage(const std::string& path, const std::string& temporaryName,
                                                 NewFileAccess access, bool synced)
{
    const auto target = widePath(path);
    const auto name = widePath(temporaryName);
    if (!target || !name) {
        return nullptr;
    }
    const std::wstring temporary = siblingPath(*target, *name);
    // A temporary left by a crash is removed first: opened again it would keep its old security,
    // whatever this write asks for.
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temporary.c_str());
    // The temporary has its final access rules from its first byte on: those of the file it will
    // replace, else private ones where asked for, else the folder's.
    FileSecurity security;
    if (GetFileAttributesW(target->c_str()) != INVALID_FILE_ATTRIBUTES) {
        security = FileSecurity::copiedFrom(*target);
    } else if (access == NewFileAccess::Private) {
        security = FileSecurity::ownerOnly();
    }
    UniqueHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, security.attributes(), CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<WinStagedFile>(*target, temporary, std::move(file), synced);
}
