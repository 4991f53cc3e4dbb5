// SPDX-License-Identifier: MIT
// The process launcher against real processes: a recorder that stands in for iisreset.exe (see
// recorder/iisreset.cpp), in the Wine prefix's system folder and in a folder whose name has a space,
// Japanese and a character outside the ANSI code page.
#include "win/WinProcessLauncher.h"

#include "fakes/FormHarness.h"
#include "monitor/RecoveryActions.h"
#include "shell/Form1.h"
#include "support/TemporaryFolder.h"
#include "win/WideText.h"
#include "win/WinEnvironment.h"
#include "win/WinFiles.h"

#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>

namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::HasSubstr;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// Whether this process holds a handle to that process or to that thread: every small handle value
// is asked what it refers to. (GetProcessHandleCount would be simpler, but Wine answers it with 0.)
bool holdsHandleTo(DWORD processId, DWORD threadId)
{
    for (std::uintptr_t value = 4; value < 0x4000; value += 4) {
        const auto handle = reinterpret_cast<HANDLE>(value);
        DWORD flags = 0;
        if (GetHandleInformation(handle, &flags) == FALSE) {
            continue; // no handle of that value
        }
        if (GetProcessId(handle) == processId || GetThreadId(handle) == threadId) {
            return true;
        }
    }
    return false;
}

std::string systemFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return Narrow(std::wstring_view(folder, length));
}

// Each started recorder appends its lines to a record file in the test's folder and then waits for
// the test's release event, so that the test sees it running after start() has returned.
class WinLauncher : public testing::Test
{
protected:
    WinLauncher()
    {
        static int counter = 0;
        const std::wstring event =
            L"sentrybell-release-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
        m_release = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
        SetEnvironmentVariableW(L"SENTRYBELL_RECORDER_FILE", Widen(recordFile()).c_str());
        SetEnvironmentVariableW(L"SENTRYBELL_RECORDER_RELEASE", event.c_str());
    }
    ~WinLauncher() override
    {
        SetEvent(m_release);
        waitForLines("RELEASED", started, 10s); // no recorder outlives its test
        CloseHandle(m_release);
    }

    std::string recordFile() const { return folder / "record.txt"; }
    std::vector<std::string> record() const { return linesOf(ReadWholeFile(recordFile()).value_or("")); }
    void release() { SetEvent(m_release); }

    // Waits, at most `bound`, until `count` lines equal to `line` are recorded.
    bool waitForLines(const std::string& line, int count, std::chrono::milliseconds bound) const
    {
        const auto until = std::chrono::steady_clock::now() + bound;
        for (;;) {
            const auto lines = record();
            if (std::count(lines.begin(), lines.end(), line) >= count) {
                return true;
            }
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
    }
    // The lines of the first recorded start that begin with `prefix`, the prefix removed.
    std::vector<std::string> field(const std::string& prefix, int start = 0) const
    {
        std::vector<std::string> values;
        int seen = -1;
        for (const std::string& line : record()) {
            seen += line.starts_with("COMMAND ") ? 1 : 0;
            if (seen == start && line.starts_with(prefix)) {
                values.push_back(line.substr(prefix.size()));
            }
        }
        return values;
    }

    TemporaryFolder folder;
    std::vector<std::string> reports;
    WinProcessLauncher launcher{[this](const std::string& text) { reports.push_back(text); }};
    int started = 0;

private:
    HANDLE m_release = nullptr;
};

TEST_F(WinLauncher, RecoveryButtonsStartIisresetOfTheSystemFolderMinimizedWithoutWaiting)
{
    WinEnvironment environment;
    FormHarness h({.environment = &environment, .launcher = &launcher});
    Form1& form = h.form;

    form.IIS_Click(0);
    started = 1;
    ASSERT_TRUE(waitForLines("STARTED", 1, 10s)) << "the recorder never ran: is it in " << systemFolder() << "?";
    form.IIS_Click(3);
    started = 2;
    ASSERT_TRUE(waitForLines("STARTED", 2, 10s));

    // Both handles of each start were closed at once, while the recorders still run.
    for (int start = 0; start < 2; ++start) {
        ASSERT_EQ(field("IDS ", start).size(), 1U);
        const std::string ids = field("IDS ", start)[0];
        const auto processId = static_cast<DWORD>(std::stoul(ids));
        const auto threadId = static_cast<DWORD>(std::stoul(ids.substr(ids.find(' ') + 1)));
        EXPECT_FALSE(holdsHandleTo(processId, threadId)) << "start " << start;
        // The check itself sees a handle that is there.
        const HANDLE held = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        ASSERT_NE(held, nullptr);
        EXPECT_TRUE(holdsHandleTo(processId, threadId));
        CloseHandle(held);
    }

    // Both recorders still wait for their release: the clicks returned without waiting for them.
    EXPECT_THAT(record(), testing::Not(testing::Contains("RELEASED")));
    const std::string program = "\"" + systemFolder() + "\\iisreset.exe\"";
    EXPECT_THAT(field("COMMAND ", 0), ElementsAre(program + " /RESTART"));
    EXPECT_THAT(field("ARG ", 0), ElementsAre("/RESTART"));
    EXPECT_THAT(field("SHOW ", 0), ElementsAre("1 " + std::to_string(SW_SHOWMINIMIZED)));
    EXPECT_THAT(field("COMMAND ", 1), ElementsAre(program + " /REBOOT"));
    EXPECT_THAT(field("ARG ", 1), ElementsAre("/REBOOT"));
    release();
    EXPECT_TRUE(waitForLines("RELEASED", 2, 10s)) << testing::PrintToString(record());
    EXPECT_TRUE(reports.empty());
}

TEST_F(WinLauncher, AProgramInAFolderWithSpacesAndJapaneseGetsEveryArgumentWhole)
{
    const std::string program = folder / "iis reset 監視 é.exe";
    const std::string recorder = WinEnvironment().executableFolder() + "\\iisreset.exe";
    ASSERT_NE(CopyFileW(Widen(recorder).c_str(), Widen(program).c_str(), TRUE), FALSE) << recorder;

    const std::vector<std::string> arguments{"/STOP",     "two words", "say \"hi\"", "ends\\",    "a\\b\\\"c",
                                             "ends \\\\", "",          "\t",         "監視 ログ", "caf\xC3\xA9"};
    ASSERT_TRUE(launcher.start(program, arguments));
    started = 1;
    ASSERT_TRUE(waitForLines("STARTED", 1, 10s));
    EXPECT_EQ(field("ARG "), arguments) << "as the C runtime of the started program splits its command line";
    ASSERT_EQ(field("COMMAND ").size(), 1U);
    EXPECT_TRUE(field("COMMAND ")[0].starts_with("\"" + program + "\" /STOP ")) << field("COMMAND ")[0];
    EXPECT_TRUE(reports.empty());
}

TEST_F(WinLauncher, AProgramThatCannotStartIsReportedAndReturnsFalse)
{
    const std::string missing = folder / "no such iisreset.exe";
    EXPECT_FALSE(launcher.start(missing, {"/RESTART"}));
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_THAT(reports[0], HasSubstr(missing));
    EXPECT_THAT(reports[0], HasSubstr("(error 2)")) << "ERROR_FILE_NOT_FOUND, with the system's text";

    // A NUL would cut the path to another program; a quote is no part of a Windows path.
    EXPECT_FALSE(launcher.start(missing + '\0' + "more", {}));
    EXPECT_FALSE(launcher.start(folder / "\"iisreset.exe", {}));
    EXPECT_FALSE(launcher.start("", {}));
    EXPECT_EQ(reports.size(), 4U);
    EXPECT_TRUE(record().empty());
}

TEST(WinCommandLine, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(WinCommandLine(L"C:\\Windows\\System32\\iisreset.exe", {L"/RESTART"}),
              L"\"C:\\Windows\\System32\\iisreset.exe\" /RESTART");
    EXPECT_EQ(WinCommandLine(L"C:\\p.exe", {L"", L"a b", L"x\\y", L"q\"", L"end\\"}),
              L"\"C:\\p.exe\" \"\" \"a b\" x\\y \"q\\\"\" end\\");
    EXPECT_EQ(WinCommandLine(L"C:\\p.exe", {L"a b\\"}), L"\"C:\\p.exe\" \"a b\\\\\"");
}

} // namespace
