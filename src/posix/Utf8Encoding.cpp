// SPDX-License-Identifier: MIT
#include "posix/Utf8Encoding.h"

#include "common/Utf8.h"

std::string Utf8Encoding::toPlatform(std::string_view utf8) const
{
    return ValidUtf8(utf8);
}

std::string Utf8Encoding::fromPlatform(std::string_view bytes) const
{
    return ValidUtf8(bytes);
}

std::string Utf8Encoding::cutToBytes(std::string_view utf8, std::size_t maxBytes) const
{
    return CutUtf8(utf8, maxBytes);
}
