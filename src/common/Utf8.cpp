// SPDX-License-Identifier: MIT
#include "common/Utf8.h"

namespace {

// Length of the valid UTF-8 sequence at position i, or 0 when the bytes there are not one.
std::size_t sequenceLength(std::string_view s, std::size_t i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    auto cont = [&](std::size_t k) {
        return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0U) == 0x80U;
    };
    if (b0 < 0x80U) {
        return 1;
    }
    if (b0 >= 0xC2U && b0 <= 0xDFU) {
        return cont(1) ? 2 : 0;
    }
    if (b0 >= 0xE0U && b0 <= 0xEFU) {
        if (!cont(1) || !cont(2)) {
            return 0;
        }
        const auto b1 = static_cast<unsigned char>(s[i + 1]);
        if ((b0 == 0xE0U && b1 < 0xA0U) || (b0 == 0xEDU && b1 >= 0xA0U)) {
            return 0; // overlong or a surrogate
        }
        return 3;
    }
    if (b0 >= 0xF0U && b0 <= 0xF4U) {
        if (!cont(1) || !cont(2) || !cont(3)) {
            return 0;
        }
        const auto b1 = static_cast<unsigned char>(s[i + 1]);
        if ((b0 == 0xF0U && b1 < 0x90U) || (b0 == 0xF4U && b1 >= 0x90U)) {
            return 0;
        }
        return 4;
    }
    return 0;
}

} // namespace

std::string ValidUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t n = sequenceLength(bytes, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(bytes.substr(i, n));
            i += n;
        }
    }
    return out;
}

namespace {

// A character of `bytes` bytes in UTF-16: a surrogate pair beyond U+FFFF, one unit below.
std::size_t utf16Units(std::size_t bytes)
{
    return bytes == 4 ? 2 : 1;
}

// The valid text's longest leading part whose characters, each counted as `measure` of its byte
// length says, stay within `limit`.
template <typename Measure> std::string cutValid(std::string_view text, std::size_t limit, Measure measure)
{
    const std::string valid = ValidUtf8(text);
    std::size_t end = 0;
    std::size_t used = 0;
    while (end < valid.size()) {
        const std::size_t n = sequenceLength(valid, end);
        if (used + measure(n) > limit) {
            break;
        }
        used += measure(n);
        end += n;
    }
    return valid.substr(0, end);
}

} // namespace

std::string CutUtf8(std::string_view utf8, std::size_t maxBytes)
{
    return cutValid(utf8, maxBytes, [](std::size_t bytes) { return bytes; });
}

std::size_t Utf16Length(std::string_view utf8)
{
    const std::string valid = ValidUtf8(utf8);
    std::size_t units = 0;
    for (std::size_t i = 0; i < valid.size();) {
        const std::size_t n = sequenceLength(valid, i);
        units += utf16Units(n);
        i += n;
    }
    return units;
}

std::string CutUtf16(std::string_view utf8, std::size_t maxUnits)
{
    return cutValid(utf8, maxUnits, utf16Units);
}
