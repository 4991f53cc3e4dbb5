// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Replaces every invalid UTF-8 sequence (stray bytes, overlong forms, surrogates) with U+FFFD.
std::string ValidUtf8(std::string_view bytes);

// The longest leading part of the text that fits in maxBytes bytes, cut at a character boundary.
std::string CutUtf8(std::string_view utf8, std::size_t maxBytes);

// The UTF-16 code units the text takes once converted (an invalid byte becomes one U+FFFD), and its
// longest leading part that takes at most maxUnits of them, never cut inside a character.
std::size_t Utf16Length(std::string_view utf8);
std::string CutUtf16(std::string_view utf8, std::size_t maxUnits);
