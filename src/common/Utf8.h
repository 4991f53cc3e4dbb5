// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Replaces every invalid UTF-8 sequence (stray bytes, overlong forms, surrogates) with U+FFFD.
std::string ValidUtf8(std::string_view bytes);

// The longest leading part of the text that fits in maxBytes bytes, cut at a character boundary.
std::string CutUtf8(std::string_view utf8, std::size_t maxBytes);
