// SPDX-License-Identifier: MIT
#pragma once

#include "common/TextEncoding.h"

// The system's ANSI code page (GetACP: 932, Shift-JIS, on a Japanese system), in which the settings
// file and the log are written, with CR LF line ends, and in which every byte limit is counted.
class WinTextEncoding : public TextEncoding
{
public:
    // codePage 0 (CP_ACP) is the system's ANSI code page; tests name others explicitly.
    explicit WinTextEncoding(unsigned codePage = 0);
    std::string toPlatform(std::string_view utf8) const override;
    std::string fromPlatform(std::string_view bytes) const override;
    std::string cutToBytes(std::string_view utf8, std::size_t maxBytes) const override;
    // CR LF, as the profile API writes SETTING.ini and as Notepad expects.
    std::string_view lineEnd() const override { return "\r\n"; }

private:
    // The platform form of UTF-16 text; a character without one becomes "?".
    std::string encode(std::wstring_view utf16) const;
    // The platform form of one character (one or two UTF-16 units).
    std::string encodeCharacter(std::wstring_view character) const;
    std::wstring decode(std::string_view bytes) const;

    unsigned m_codePage;
};
