// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// The program's texts are UTF-8; the system's W calls take UTF-16. These convert at that boundary.
// Neither fails: invalid UTF-8 and unpaired surrogates become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
