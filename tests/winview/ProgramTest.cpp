// SPDX-License-Identifier: MIT
// The program file itself: its icon, version information, manifest and the event log's messages.
#include "win/WideText.h"
#include "win/WinSystemLog.h"
#include "winview/WinViewHarness.h"

#include <gtest/gtest.h>
#include <set>
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

// The installer names sentrybell.exe as the message file of the "Sentrybell" source: Event Viewer then
// formats each event from the program's message table, in the system's language or in English, and
// shows the report's line alone, without the "description cannot be found" preamble. The IDs are the
// ones the README gives operators to filter on.
TEST_F(ProgramFile, CarriesAMessageForEveryEventItWrites)
{
    const std::wstring line = L"mail to \"ops@example.test\" via \"127.0.0.1\" failed: 監視 %2";
    std::set<std::uint32_t> ids;
    for (const auto& [entry, id, type] : {std::tuple{EventFor(ReportKind::SaveRefused), 201U, EVENTLOG_WARNING_TYPE},
                                          {EventFor(ReportKind::RecoveryNotStarted), 401U, EVENTLOG_ERROR_TYPE},
                                          {EventFor(ReportKind::MailNotSent), 501U, EVENTLOG_ERROR_TYPE},
                                          {EventFor(ReportKind::MailSentWithoutAuth), 502U, EVENTLOG_WARNING_TYPE},
                                          {EventFor(ReportKind::LogLineNotWritten), 601U, EVENTLOG_ERROR_TYPE},
                                          {EventFor(ReportKind::ChecksHeld), 301U, EVENTLOG_WARNING_TYPE},
                                          {EventFor(ReportKind::MetricsNotWritten), 701U, EVENTLOG_WARNING_TYPE},
                                          {EventFor(EventName::Started), 100U, EVENTLOG_INFORMATION_TYPE},
                                          {EventFor(EventName::Ended), 101U, EVENTLOG_INFORMATION_TYPE},
                                          {EventFor(EventName::SettingsLoaded), 200U, EVENTLOG_INFORMATION_TYPE},
                                          {EventFor(EventName::SettingsRefused), 202U, EVENTLOG_WARNING_TYPE},
                                          {EventFor(EventName::CheckFailed), 300U, EVENTLOG_WARNING_TYPE},
                                          {EventFor(EventName::RecoveryStarted), 400U, EVENTLOG_WARNING_TYPE},
                                          {EventFor(EventName::MailSent), 500U, EVENTLOG_INFORMATION_TYPE},
                                          {EventFor(EventName::MailFailed), 503U, EVENTLOG_ERROR_TYPE}}) {
        EXPECT_EQ(entry.id, id);
        EXPECT_EQ(entry.type, type);
        ids.insert(entry.id);
        for (const DWORD language : {0x411UL, 0x409UL}) { // Japanese, English (United States)
            wchar_t text[512] = {};
            DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(line.c_str())};
            const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, m_module,
                                                entry.id, language, text, 512, reinterpret_cast<va_list*>(inserts));
            EXPECT_EQ(std::wstring(text, length), line) << "event " << entry.id << ", language " << language;
        }
    }
    EXPECT_EQ(ids.size(), 15U) << "every kind and every event has an ID of its own";
}

} // namespace
