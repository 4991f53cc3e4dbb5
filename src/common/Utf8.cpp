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

std::string CutUtf8(std::string_view utf8, std::size_t maxBytes)
{
    const std::string valid = ValidUtf8(utf8);
    std::size_t end = 0;
    while (end < valid.size()) {
        const std::size_t n = sequenceLength(valid, end);
        if (end + n > maxBytes) {
            break;
        }
        end += n;
    }
    return valid.substr(0, end);
}
