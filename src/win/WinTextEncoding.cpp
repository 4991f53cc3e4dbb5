// SPDX-License-Identifier: MIT
#include "win/WinTextEncoding.h"

#include "common/Utf8.h"
#include "win/WideText.h"

#include <climits>
#include <optional>
#include <windows.h>

namespace {

constexpr wchar_t ReplacementCharacter = L'\xFFFD';

bool isHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// The number of UTF-16 units of the character that starts at i.
std::size_t characterUnits(std::wstring_view text, std::size_t i)
{
    return isHighSurrogate(text[i]) && i + 1 < text.size() ? 2 : 1;
}

// Converts with one attempt, or reports that some character had no form (usedDefault).
std::string convertWhole(UINT codePage, std::wstring_view utf16, bool& usedDefault)
{
    usedDefault = false;
    if (utf16.empty() || utf16.size() > INT_MAX) {
        return {};
    }
    const int inLength = static_cast<int>(utf16.size());
    // UTF-8 takes neither flags nor a default character; every other ANSI code page does, and
    // "no best fit" keeps a character from turning silently into a look-alike ("é" into "e").
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* defaultChar = utf8 ? nullptr : "?";
    BOOL defaulted = FALSE;
    BOOL* defaultedOut = utf8 ? nullptr : &defaulted;
    const int length =
        WideCharToMultiByte(codePage, flags, utf16.data(), inLength, nullptr, 0, defaultChar, defaultedOut);
    if (length <= 0) {
        usedDefault = true;
        return {};
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, utf16.data(), inLength, bytes.data(), length, defaultChar, defaultedOut);
    usedDefault = defaulted != FALSE;
    return bytes;
}

// Decodes, or gives nothing when any byte is not valid text in the code page.
std::optional<std::wstring> decodeStrict(UINT codePage, std::string_view bytes)
{
    if (bytes.size() > INT_MAX) {
        return std::nullopt;
    }
    const int inLength = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), inLength, nullptr, 0);
    if (length <= 0) {
        return std::nullopt;
    }
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), inLength, text.data(), length);
    return text;
}

} // namespace

WinTextEncoding::WinTextEncoding(unsigned codePage) : m_codePage(codePage == CP_ACP ? GetACP() : codePage) {}

std::string WinTextEncoding::encodeCharacter(std::wstring_view character) const
{
    bool usedDefault = false;
    std::string bytes = convertWhole(m_codePage, character, usedDefault);
    return usedDefault ? std::string("?") : bytes;
}

std::string WinTextEncoding::encode(std::wstring_view utf16) const
{
    bool usedDefault = false;
    std::string bytes = convertWhole(m_codePage, utf16, usedDefault);
    if (!usedDefault) {
        return bytes;
    }
    // Some character had no form. Converted one by one, each such character is exactly one "?",
    // whatever the system makes of a surrogate pair.
    bytes.clear();
    for (std::size_t i = 0; i < utf16.size();) {
        const std::size_t units = characterUnits(utf16, i);
        bytes += encodeCharacter(utf16.substr(i, units));
        i += units;
    }
    return bytes;
}

std::wstring WinTextEncoding::decode(std::string_view bytes) const
{
    if (auto whole = decodeStrict(m_codePage, bytes)) {
        return *whole;
    }
    // Some bytes are not text: decode character by character, each bad one as U+FFFD.
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        const bool lead = IsDBCSLeadByteEx(m_codePage, static_cast<BYTE>(bytes[i])) != FALSE;
        const std::size_t length = lead && i + 1 < bytes.size() ? 2 : 1;
        if (auto character = decodeStrict(m_codePage, bytes.substr(i, length))) {
            text += *character;
            i += length;
        } else {
            text += ReplacementCharacter;
            ++i; // a bad lead byte must not swallow the byte after it
        }
    }
    return text;
}

std::string WinTextEncoding::toPlatform(std::string_view utf8) const
{
    if (m_codePage == CP_UTF8) {
        return ValidUtf8(utf8);
    }
    return encode(Widen(utf8));
}

std::string WinTextEncoding::fromPlatform(std::string_view bytes) const
{
    if (m_codePage == CP_UTF8) {
        return ValidUtf8(bytes);
    }
    return Narrow(decode(bytes));
}

std::string WinTextEncoding::cutToBytes(std::string_view utf8, std::size_t maxBytes) const
{
    if (m_codePage == CP_UTF8) {
        return CutUtf8(utf8, maxBytes);
    }
    const std::wstring text = Widen(utf8);
    std::size_t used = 0;
    std::size_t units = 0;
    while (units < text.size()) {
        const std::size_t length = characterUnits(text, units);
        const std::size_t bytes = encodeCharacter(std::wstring_view(text).substr(units, length)).size();
        if (used + bytes > maxBytes) {
            break;
        }
        used += bytes;
        units += length;
    }
    return Narrow(std::wstring_view(text).substr(0, units));
}
