// SPDX-License-Identifier: MIT
#include "win/WinTestFolder.h"

#include "win/UniqueHandle.h"
#include "win/WideText.h"

#include <atomic>
#include <stdexcept>
#include <windows.h>

namespace {

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

WinTestFolder::WinTestFolder(const std::string& stem)
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) {
        throw std::runtime_error("no temporary folder");
    }
    const std::string base = Narrow(std::wstring_view(temp, length));
    m_path = base + stem + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    if (!MakeFolder(m_path)) {
        throw std::runtime_error("cannot create the test folder");
    }
}

WinTestFolder::~WinTestFolder()
{
    removeTree(Widen(m_path));
}

bool MakeFolder(const std::string& path)
{
    return CreateDirectoryW(Widen(path).c_str(), nullptr) != FALSE;
}

bool SetAttributes(const std::string& path, unsigned long attributes)
{
    return SetFileAttributesW(Widen(path).c_str(), attributes) != FALSE;
}

unsigned long AttributesOf(const std::string& path)
{
    return GetFileAttributesW(Widen(path).c_str());
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    UniqueHandle file(
        CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
           written == bytes.size() && file.close();
}

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) != FALSE && got > 0) {
        content.append(buffer, got);
    }
    return content;
}

std::size_t EntryCount(const std::string& folder)
{
    std::size_t count = 0;
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((Widen(folder) + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") {
            ++count;
        }
    } while (FindNextFileW(search, &entry) != FALSE);
    FindClose(search);
    return count;
}
