// SPDX-License-Identifier: MIT
#include "support/TemporaryFolder.h"

#include <stdexcept>

#ifdef _WIN32

#include "win/WideText.h"

#include <atomic>
#include <windows.h>

namespace {

constexpr char Separator = '\\';

// std::filesystem would not do: it takes a narrow path in the ANSI code page, and leaves a read-only
// file (which the attribute tests make) where it stands.
void removeTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                removeTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &entry) != FALSE);
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace

TemporaryFolder::TemporaryFolder(const std::string& stem)
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) {
        throw std::runtime_error("no temporary folder");
    }
    const std::string base = Narrow(std::wstring_view(temp, length));
    m_path = base + stem + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    if (CreateDirectoryW(Widen(m_path).c_str(), nullptr) == FALSE) {
        throw std::runtime_error("cannot create the test folder " + m_path);
    }
}

TemporaryFolder::~TemporaryFolder()
{
    removeTree(Widen(m_path));
}

#else

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

constexpr char Separator = '/';

} // namespace

TemporaryFolder::TemporaryFolder(const std::string& stem)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (stem + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pattern);
    }
    m_path = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

#endif

std::string TemporaryFolder::operator/(const std::string& name) const
{
    return m_path + Separator + name;
}
