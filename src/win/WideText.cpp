// SPDX-License-Identifier: MIT
#include "win/WideText.h"

#include "common/Utf8.h"

#include <climits>
#include <windows.h>

std::wstring Widen(std::string_view utf8)
{
    // Repaired first, so that every system's converter gives the same answer for a stray byte.
    const std::string valid = ValidUtf8(utf8);
    if (valid.empty() || valid.size() > INT_MAX) {
        return {};
    }
    const int inLength = static_cast<int>(valid.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, valid.data(), inLength, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, valid.data(), inLength, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view utf16)
{
    if (utf16.empty() || utf16.size() > INT_MAX) {
        return {};
    }
    const int inLength = static_cast<int>(utf16.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}
