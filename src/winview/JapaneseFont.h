// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <windows.h>

// The window's texts are Japanese, and a font without Japanese glyphs draws each character as a box
// (Wine's default and message fonts do). The window therefore names a Japanese family itself.

// The first installed family of: Yu Gothic UI, Meiryo UI, MS UI Gothic; else the first installed
// family with the Japanese character set (IPAGothic on a Linux desktop under Wine); else the empty
// text, leaving the choice to the system.
std::wstring JapaneseFontFamily();

// Whether a family of that name is installed.
bool FontFamilyInstalled(const std::wstring& family);

// A font that owns its handle.
class UniqueFont
{
public:
    UniqueFont() = default;
    explicit UniqueFont(HFONT font) : m_font(font) {}
    UniqueFont(UniqueFont&& other) noexcept : m_font(other.m_font) { other.m_font = nullptr; }
    UniqueFont& operator=(UniqueFont&& other) noexcept;
    UniqueFont(const UniqueFont&) = delete;
    UniqueFont& operator=(const UniqueFont&) = delete;
    ~UniqueFont();
    HFONT get() const { return m_font; }

private:
    HFONT m_font = nullptr;
};

// The window's text font in the family: 11 pixels high at 96 DPI, scaled for the dpi.
UniqueFont CreateWindowFont(const std::wstring& family, unsigned dpi);

// The contact notices' link font: bold 11.25 points of "ＭＳ Ｐゴシック" where installed, else of the
// given family.
UniqueFont CreateLinkFont(const std::wstring& fallbackFamily, unsigned dpi);
