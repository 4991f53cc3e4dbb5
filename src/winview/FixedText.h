// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

// Copies text into a fixed character array of a system record (a face name, a tip), cut to fit with
// its terminating NUL.
template <std::size_t N> void CopyToFixed(wchar_t (&target)[N], std::wstring_view text)
{
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.data(), length, target);
    target[length] = L'\0';
}
