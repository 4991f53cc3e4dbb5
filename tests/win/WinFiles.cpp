// SPDX-License-Identifier: MIT
#include "win/WinFiles.h"

#include "win/UniqueHandle.h"
#include "win/WideText.h"

#include <windows.h>

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
