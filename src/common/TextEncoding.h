// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The platform's text encoding ("ANSI code page"): the encoding of the files it writes, the line end
// its tools expect in them, and the unit of its byte limits. The core holds UTF-8 everywhere and
// converts only through this port.
class TextEncoding
{
public:
    virtual ~TextEncoding() = default;
    // UTF-8 to the platform's bytes. A character without a form there becomes "?".
    virtual std::string toPlatform(std::string_view utf8) const = 0;
    // Platform bytes to UTF-8. Bytes that are not valid text become U+FFFD; never fails.
    virtual std::string fromPlatform(std::string_view bytes) const = 0;
    // The longest leading part of the UTF-8 text whose platform form fits in maxBytes bytes,
    // cut at a character boundary (never inside a multi-byte character).
    virtual std::string cutToBytes(std::string_view utf8, std::size_t maxBytes) const = 0;
    // The line end of a text file the program starts from nothing ("\n", or "\r\n" where the
    // platform's own profile API and editors write it). Never fails.
    virtual std::string_view lineEnd() const = 0;
};
