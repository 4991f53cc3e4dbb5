// SPDX-License-Identifier: MIT
// The program file itself: its icon, version information and manifest.
#include "win/WideText.h"
#include "winview/WinViewHarness.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

#pragma pack(push, 2)
struct IconGroupEntry
{
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroup
{
    WORD reserved;
    WORD type;
    WORD count;
    IconGroupEntry entries[1];
};
#pragma pack(pop)

class ProgramFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_module = LoadLibraryExW(m_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(m_module, nullptr) << Narrow(m_path);
    }
    void TearDown() override
    {
        if (m_module != nullptr) {
            FreeLibrary(m_module);
        }
    }

    std::string resource(LPCWSTR type, LPCWSTR name) const
    {
        HRSRC found = FindResourceW(m_module, name, type);
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const char*>(LockResource(LoadResource(m_module, found)));
        return std::string(data, SizeofResource(m_module, found));
    }

    const std::wstring m_path = WinePath(SENTRYBELL_APP_DIR "/sentrybell.exe");
    HMODULE m_module = nullptr;
};

TEST_F(ProgramFile, CarriesItsIconAt16And32Pixels)
{
    const std::string group = resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_GE(group.size(), sizeof(IconGroup));
    const auto* icons = reinterpret_cast<const IconGroup*>(group.data());
    std::vector<int> sizes;
    for (WORD i = 0; i < icons->count; ++i) {
        sizes.push_back(icons->entries[i].width);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32}));

    HICON small = static_cast<HICON>(LoadImageW(m_module, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(small, nullptr);
    DestroyIcon(small);
}

TEST_F(ProgramFile, AsksForAdministratorsTheVersion6ControlsAndPerMonitorScaling)
{
    const std::string manifest = resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find(R"(level="requireAdministrator")"), std::string::npos);
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("true/pm"), std::string::npos);
}

TEST_F(ProgramFile, NamesItselfInItsVersionInformation)
{
    const DWORD size = GetFileVersionInfoSizeW(m_path.c_str(), nullptr);
    ASSERT_GT(size, 0U);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(m_path.c_str(), 0, size, info.data()));
    const auto text = [&info](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
            return std::string();
        }
        return Narrow(value);
    };
    EXPECT_EQ(text(L"ProductName"), "Sentrybell");
    EXPECT_EQ(text(L"OriginalFilename"), "sentrybell.exe");
    EXPECT_EQ(text(L"ProductVersion"), SENTRYBELL_VERSION);
}

} // namespace
