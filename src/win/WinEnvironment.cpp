// SPDX-License-Identifier: MIT
#include "win/WinEnvironment.h"

#include "win/WideText.h"

#include <windows.h>

namespace {

std::string modulePath()
{
    // The path may exceed MAX_PATH; a full buffer means it was cut, so grow and ask again.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

std::string WinParentFolder(const std::string& path)
{
    const auto separator = path.find_last_of("\\/");
    if (separator == std::string::npos) {
        return {};
    }
    // "C:\program.exe": the folder is the drive's root, which keeps its separator.
    if (separator == 2 && path[1] == ':') {
        return path.substr(0, 3);
    }
    return path.substr(0, separator);
}

WinEnvironment::WinEnvironment(std::string executablePath)
    : m_folder(WinParentFolder(executablePath.empty() ? modulePath() : executablePath))
{
}

std::string WinEnvironment::executableFolder() const
{
    return m_folder;
}

std::string WinEnvironment::systemFolder() const
{
    const UINT size = GetSystemDirectoryW(nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring buffer(size, L'\0');
    const UINT length = GetSystemDirectoryW(buffer.data(), size);
    if (length == 0 || length >= size) {
        return {};
    }
    buffer.resize(length);
    while (buffer.size() > 3 && buffer.back() == L'\\') {
        buffer.pop_back();
    }
    return Narrow(buffer);
}

std::string WinEnvironment::computerName() const
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (GetComputerNameW(name, &length) == FALSE) {
        return {};
    }
    return Narrow(std::wstring_view(name, length));
}
