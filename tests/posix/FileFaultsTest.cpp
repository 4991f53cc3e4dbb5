// SPDX-License-Identifier: MIT
// Files and stores that cannot be written while the watchdog runs: the log's folder removed, a save
// folder that cannot hold the page copy, a FIFO where a file should be, a registry store that refuses
// writes. None of them may stop the checks, lose the alert text, or leave a stray file; after each
// the next check is due one interval later, by the fake clock, and runs.
#include "config/AutoLogon.h"
#include "fakes/RunningWatchdog.h"
#include "monitor/StatusTexts.h"
#include "support/ProcessCensus.h"
#include "support/RealDisk.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string Stamp = "2026/12/07 09:05:03";
constexpr std::chrono::milliseconds Interval{RunningWatchdog<RealDisk>::IntervalMs};
constexpr std::chrono::milliseconds RecoveryInterval{RecoveryIntervalMs};

class FileFaults : public ::testing::Test, protected RunningWatchdog<RealDisk>
{
protected:
    FileFaults() : m_previous(std::cerr.rdbuf(m_quiet.rdbuf())) {}
    ~FileFaults() override { std::cerr.rdbuf(m_previous); }

    std::vector<std::string> entriesOf(const std::string& path) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::ostringstream m_quiet;
    std::streambuf* m_previous;
};

TEST_F(FileFaults, TheLogFolderRemovedWhileRunning)
{
    setServerDown(true);
    tickAndExpectNextAfter(Interval);
    ASSERT_EQ(lines(ReadWholeFile(logPath())).size(), 1U);

    fs::remove_all(logFolder());
    tickAndExpectNextAfter(RecoveryInterval); // the second failure: restart, alert, 40 s
    EXPECT_FALSE(fs::exists(logFolder())) << "the log's folder is not made again behind the operator's back";
    EXPECT_EQ(lines(form.errReport).size(), 2U) << "the alert text keeps every failure";
    ASSERT_EQ(mail.calls.size(), 1U);
    EXPECT_EQ(mail.calls[0].body, form.errReport);
    EXPECT_EQ(form.errCount, 0);

    // The folder comes back: the log goes on with the next failure.
    fs::create_directory(logFolder());
    tickAndExpectNextAfter(RecoveryInterval);
    EXPECT_EQ(lines(ReadWholeFile(logPath())), Lines{Stamp + "ＵＲＬ指定エラー"});
    EXPECT_EQ(lines(form.errReport).size(), 3U);
}

TEST_F(FileFaults, TheSaveFolderRemovedWhileRunning)
{
    tickAndExpectNextAfter(Interval);
    ASSERT_EQ(ReadWholeFile(copyPath()), "<html>ok</html>");
    fs::remove_all(saveFolder());
    tickAndExpectNextAfter(Interval);
    EXPECT_EQ(form.Caption(), Stamp + ReadNormallySuffix) << "the check itself succeeded";
    EXPECT_FALSE(fs::exists(saveFolder()));
    setServerDown(true);
    tickAndExpectNextAfter(Interval);
    EXPECT_EQ(form.errCount, 1);
    EXPECT_EQ(lines(ReadWholeFile(logPath())), Lines{Stamp + "ＵＲＬ指定エラー"});
}

TEST_F(FileFaults, ASaveFolderThatIsARegularFileKeepsItsContent)
{
    // The completeness check lets any existing entry stand as the save folder, a file included.
    const std::string file = folder / "not-a-folder";
    WriteFile(file, "the operator's file", fs::perms(0644));
    form.txtParaPath.Text = file;
    tickAndExpectNextAfter(Interval);
    EXPECT_EQ(form.Caption(), Stamp + ReadNormallySuffix);
    setServerDown(true);
    tickAndExpectNextAfter(Interval);
    EXPECT_EQ(form.Caption(), ReceptionErrorCaption);
    EXPECT_EQ(ReadWholeFile(file), "the operator's file");
    EXPECT_EQ(lines(ReadWholeFile(logPath())).size(), 1U);
}

TEST_F(FileFaults, ACopyThatCannotBeReplacedLeavesNoTemporary)
{
    // A folder in the copy's place: the rename over it fails whoever runs the program, root included.
    fs::create_directory(copyPath());
    WriteFile(copyPath() + "/inside", "kept", fs::perms(0644));
    tickAndExpectNextAfter(Interval);
    EXPECT_EQ(form.Caption(), Stamp + ReadNormallySuffix);
    EXPECT_EQ(entriesOf(saveFolder()), Lines{"check.htm"});
    EXPECT_EQ(ReadWholeFile(copyPath() + "/inside"), "kept");
    tickAndExpectNextAfter(Interval);
}

TEST_F(FileFaults, AFifoInPlaceOfTheLogOrTheCopyNeverHoldsTheWindow)
{
    // Nobody reads these FIFOs: opening one to write would wait for a reader for ever.
    ASSERT_EQ(::mkfifo(logPath().c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(copyPath().c_str(), 0600), 0);
    setServerDown(true); // a failed fetch writes the log and creates a missing copy
    const auto start = std::chrono::steady_clock::now();
    tickAndExpectNextAfter(Interval);
    tickAndExpectNextAfter(RecoveryInterval);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(lines(form.errReport).size(), 2U);
    EXPECT_EQ(mail.calls.size(), 1U);
    setServerDown(false);
    tickAndExpectNextAfter(Interval);
    EXPECT_EQ(form.Caption(), Stamp + ReadNormallySuffix);
}

TEST_F(FileFaults, ARegistryStoreThatCannotBeWrittenLeavesTheSaveAndTheChecks)
{
    // Under a regular file no store can be made, root or not.
    WriteFile(folder / "etc", "", fs::perms(0644));
    form.txtUser.Text = "Administrator";
    form.txtUserPass.Text = "pw";
    form.txtProxy.Text = " ";
    form.txtCC.Text = "cc@example.test";
    form.txtAcount.Text = " ";
    form.txtPass.Text = " ";
    form.chkSysStart.Value = 1;
    form.Timer1.Enabled = false;

    form.IniPath = folder / "SETTING.ini";
    form.Command1_Click();
    EXPECT_TRUE(messageBox.shown.empty()) << "a refused registry write is silent";
    EXPECT_NE(ReadWholeFile(form.IniPath).find("LOGIN=1"), std::string::npos) << "the settings were saved";
    EXPECT_EQ(GetRegValue(registry, RegistryHive::LocalMachine, WinlogonKey, AutoAdminLogon), "");

    const auto saved = clock.steadyNow();
    ASSERT_EQ(timer.dueAt(), saved + Interval);
    tickAndExpectNextAfter(Interval);
    EXPECT_EQ(clock.steadyNow(), saved + Interval);
    EXPECT_EQ(form.Caption(), Stamp + ReadNormallySuffix);
}

} // namespace
