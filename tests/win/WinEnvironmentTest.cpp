// SPDX-License-Identifier: MIT
#include "win/WinEnvironment.h"

#include "support/TemporaryFolder.h"
#include "win/UniqueHandle.h"
#include "win/WideText.h"
#include "win/WinFileSystem.h"
#include "win/WinFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

constexpr const wchar_t* ReportVariable = L"SENTRYBELL_CHILD_REPORT";

// Started as the child of ExecutableFolderIsWhereTheProgramLies, this program only writes the folder
// it finds itself in to the file the variable names, and ends before any test runs.
[[maybe_unused]] const bool ChildReported = [] {
    wchar_t report[MAX_PATH * 4] = {};
    if (GetEnvironmentVariableW(ReportVariable, report, MAX_PATH * 4) == 0) {
        return false;
    }
    WinFileSystem files;
    const bool written =
        files.replaceFile(Narrow(report), WinEnvironment().executableFolder(), NewFileAccess::Ordinary);
    ExitProcess(written ? 0 : 1);
}();

std::wstring ownModulePath()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

TEST(WinParentFolder, KeepsOnlyADrivesRootSeparator)
{
    EXPECT_EQ(WinParentFolder("C:\\Program Files\\Sentrybell\\sentrybell.exe"), "C:\\Program Files\\Sentrybell");
    EXPECT_EQ(WinParentFolder("C:\\sentrybell.exe"), "C:\\");
    EXPECT_EQ(WinParentFolder("\\\\server\\share\\sentrybell.exe"), "\\\\server\\share");
    EXPECT_EQ(WinParentFolder("D:\\監視 ツール\\sentrybell.exe"), "D:\\監視 ツール");
    EXPECT_EQ(WinParentFolder("sentrybell.exe"), "");
}

TEST(WinEnvironment, SystemFolderHoldsTheSystemsOwnPrograms)
{
    const WinEnvironment environment;
    const std::string system = environment.systemFolder();
    ASSERT_FALSE(system.empty());
    EXPECT_NE(system.back(), '\\');
    const WinFileSystem files;
    EXPECT_TRUE(files.fileExists(system + "\\kernel32.dll")) << system;
}

TEST(WinEnvironment, ComputerNameIsTheMachinesName)
{
    wchar_t expected[MAX_COMPUTERNAME_LENGTH + 1] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"COMPUTERNAME", expected, MAX_COMPUTERNAME_LENGTH + 1), 0U);
    EXPECT_EQ(WinEnvironment().computerName(), Narrow(expected));
}

// The program finds its folder, and SETTING.ini in it, even when the folder's name has characters
// that the ANSI code page cannot hold.
TEST(WinEnvironment, ExecutableFolderIsWhereTheProgramLies)
{
    TemporaryFolder folder;
    const std::string programFolder = folder / "プログラム フォルダ é";
    ASSERT_TRUE(MakeFolder(programFolder));
    const std::wstring copy = Widen(programFolder + "\\監視.exe");
    ASSERT_NE(CopyFileW(ownModulePath().c_str(), copy.c_str(), TRUE), FALSE);
    const std::string report = folder / "report.txt";
    ASSERT_NE(SetEnvironmentVariableW(ReportVariable, Widen(report).c_str()), FALSE);

    std::wstring commandLine = L"\"" + copy + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process);
    SetEnvironmentVariableW(ReportVariable, nullptr);
    ASSERT_NE(started, FALSE);
    const UniqueHandle child(process.hProcess);
    const UniqueHandle thread(process.hThread);
    ASSERT_EQ(WaitForSingleObject(child.get(), 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.get(), &exitCode);
    EXPECT_EQ(exitCode, 0U);
    EXPECT_EQ(ReadWholeFile(report), programFolder);
}

} // namespace
