// SPDX-License-Identifier: MIT
#include "winview/JapaneseFont.h"

#include "winview/Dpi.h"
#include "winview/FixedText.h"

#include <utility>

namespace {

constexpr const wchar_t* PreferredFamilies[] = {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"};
constexpr const wchar_t* LinkFamily = L"ＭＳ Ｐゴシック";
constexpr int WindowFontPixels = 11;
// 11.25 points, in hundredths of a point.
constexpr int LinkFontCentipoints = 1125;

struct Search
{
    std::wstring found;
};

// Families whose name begins with "@" are the vertical-writing twins of another family.
int CALLBACK firstHorizontalFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data)
{
    if (font->lfFaceName[0] == L'@') {
        return 1;
    }
    reinterpret_cast<Search*>(data)->found = font->lfFaceName;
    return 0;
}

std::wstring firstFamily(BYTE charset, const wchar_t* name)
{
    LOGFONTW query{};
    query.lfCharSet = charset;
    if (name != nullptr) {
        CopyToFixed(query.lfFaceName, name);
    }
    Search search;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, firstHorizontalFamily, reinterpret_cast<LPARAM>(&search), 0);
    ReleaseDC(nullptr, screen);
    return search.found;
}

UniqueFont createFont(const std::wstring& family, int height, int weight)
{
    LOGFONTW font{};
    font.lfHeight = -height;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    CopyToFixed(font.lfFaceName, family);
    return UniqueFont(CreateFontIndirectW(&font));
}

} // namespace

bool FontFamilyInstalled(const std::wstring& family)
{
    return !family.empty() && !firstFamily(DEFAULT_CHARSET, family.c_str()).empty();
}

std::wstring JapaneseFontFamily()
{
    for (const wchar_t* family : PreferredFamilies) {
        if (FontFamilyInstalled(family)) {
            return family;
        }
    }
    return firstFamily(SHIFTJIS_CHARSET, nullptr);
}

UniqueFont& UniqueFont::operator=(UniqueFont&& other) noexcept
{
    if (this != &other) {
        if (m_font != nullptr) {
            DeleteObject(m_font);
        }
        m_font = std::exchange(other.m_font, nullptr);
    }
    return *this;
}

UniqueFont::~UniqueFont()
{
    if (m_font != nullptr) {
        DeleteObject(m_font);
    }
}

UniqueFont CreateWindowFont(const std::wstring& family, unsigned dpi)
{
    return createFont(family, ScaleFromDesign(WindowFontPixels, dpi), FW_NORMAL);
}

UniqueFont CreateLinkFont(const std::wstring& fallbackFamily, unsigned dpi)
{
    const std::wstring family = FontFamilyInstalled(LinkFamily) ? std::wstring(LinkFamily) : fallbackFamily;
    const int height = MulDiv(LinkFontCentipoints, static_cast<int>(dpi), 72 * 100);
    return createFont(family, height, FW_BOLD);
}
