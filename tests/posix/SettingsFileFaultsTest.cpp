// SPDX-License-Identifier: MIT
// Settings files that are not what the program writes: binary garbage, one endless line, 50 MiB.
// Start-up must neither crash nor hang on them, must show no message, must read what can be read,
// and a later save must either keep every byte of the file or refuse and leave it as it was.
#include "fakes/RunningWatchdog.h"
#include "support/RealDisk.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A settings file that starts the checks, as the program would have written it.
std::string completeSettings(const RunningWatchdog<RealDisk>& w)
{
    return "[SETTING]\nLOGPATH=" + w.logPath() + "\nSAVEFOLDER=" + w.saveFolder() +
           "\nTIMEOUT=5\nTIMER=30\nURL=http://127.0.0.1/check.htm\nKIDOU=0\nLOGIN=0\nID=Administrator\n"
           "LOGINPASS=pw\nRESTART=0\nPROXY=\n"
           "[MAIL]\nADDRESS=watch@example.test\nMAILID=alerts\nPASSWORD=pw\nSMTP=127.0.0.1:2525\n"
           "SUBJECT=down\nSEND=ops@example.test\nCC=cc@example.test\n";
}

std::string garbage(std::size_t size, std::uint32_t seed)
{
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1103515245U + 12345U;
        c = static_cast<char>(seed >> 24);
    }
    return bytes;
}

class SettingsFileFaults : public ::testing::Test, protected RunningWatchdog<RealDisk>
{
protected:
    SettingsFileFaults() : m_previous(std::cerr.rdbuf(m_quiet.rdbuf())) { form.Timer1.Enabled = false; }
    ~SettingsFileFaults() override { std::cerr.rdbuf(m_previous); }

    std::string settingsPath() const { return folder / "SETTING.ini"; }

    // Start-up over the file; returns its wall-clock time in seconds.
    double startUp(const std::string& content)
    {
        WriteFile(settingsPath(), content, fs::perms(0600));
        const auto start = std::chrono::steady_clock::now();
        form.Form_Load();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    void expectUnconfigured()
    {
        EXPECT_FALSE(form.Timer1.Enabled());
        EXPECT_FALSE(form.手動チェック.Enabled());
        EXPECT_EQ(timer.dueAt(), std::nullopt);
        EXPECT_TRUE(messageBox.shown.empty()) << "start-up shows no message";
        EXPECT_TRUE(tray.iconShown);
    }

    // Start-up read the settings: the first check is due after the stored interval and runs.
    void expectTheChecksRun()
    {
        EXPECT_EQ(form.txtTimer.Text(), "30");
        EXPECT_EQ(form.txtCC.Text(), "cc@example.test");
        ASSERT_EQ(timer.dueAt(), clock.steadyNow() + 30s);
        tickAndExpectNextAfter(30s);
        EXPECT_NE(form.Caption().find("正常読み込み済み"), std::string::npos);
    }

    void fillMailFields()
    {
        form.txtFrom.Text = "watch@example.test";
        form.txtAcount.Text = "alerts";
        form.txtPass.Text = "pw";
        form.txtSMTP.Text = "127.0.0.1:2525";
        form.txtSendto.Text = "ops@example.test";
    }

private:
    std::ostringstream m_quiet;
    std::streambuf* m_previous;
};

TEST_F(SettingsFileFaults, BinaryGarbageStartsUnconfiguredAndASaveKeepsEveryByte)
{
    const std::string junk = garbage(1U << 20, 7);
    EXPECT_LT(startUp(junk), 30.0);
    expectUnconfigured();
    EXPECT_EQ(form.txtUrl.Text(), "");

    fillMailFields();
    form.Command2_Click();
    EXPECT_TRUE(messageBox.shown.empty());
    const std::string saved = ReadWholeFile(settingsPath());
    ASSERT_GT(saved.size(), junk.size());
    EXPECT_TRUE(saved.compare(0, junk.size(), junk) == 0) << "the garbage is the operator's, kept byte for byte";
    EXPECT_NE(saved.find("\n[MAIL]\n"), std::string::npos);
}

TEST_F(SettingsFileFaults, GarbageBeforeTheSettingsLeavesThemReadable)
{
    // Garbage without a line that looks like a section header; the settings follow on lines of their own.
    std::string junk = garbage(200000, 11);
    std::replace(junk.begin(), junk.end(), '[', '?');
    EXPECT_LT(startUp(junk + "\n" + completeSettings(*this)), 30.0);
    expectTheChecksRun();
}

TEST_F(SettingsFileFaults, AFileWithoutLineEndsStartsUnconfigured)
{
    const std::string line = "[SETTING] TIMER=30 URL=http://127.0.0.1/ " + std::string(3U << 20, 'x');
    EXPECT_LT(startUp(line), 30.0);
    expectUnconfigured();

    fillMailFields();
    form.Command2_Click();
    const std::string saved = ReadWholeFile(settingsPath());
    EXPECT_TRUE(saved.compare(0, line.size(), line) == 0);
    EXPECT_EQ(saved.substr(line.size(), 8), "\n[MAIL]\n") << "the new section starts on a line of its own";
}

TEST_F(SettingsFileFaults, A50MiBFileIsReadAsFarAsTheBoundAndNeverRewritten)
{
    // The settings first, then 50 MiB of comment lines: what is within the first 4 MiB is read.
    std::string content = completeSettings(*this);
    const std::string comment = "; " + std::string(1022, 'c') + "\n";
    while (content.size() < (std::size_t{50} << 20)) {
        content += comment;
    }
    EXPECT_LT(startUp(content), 30.0);
    expectTheChecksRun();

    // A save cannot keep a file it could not read whole: it is refused, and the file stays as it was.
    fillMailFields();
    form.Command2_Click();
    ASSERT_EQ(messageBox.shown.size(), 1U);
    EXPECT_EQ(messageBox.shown[0].text, "設定できませんでした。");
    EXPECT_EQ(fs::file_size(settingsPath()), content.size());
    EXPECT_TRUE(ReadWholeFile(settingsPath()) == content);
    EXPECT_FALSE(fs::exists(settingsPath() + ".tmp"));
}

TEST_F(SettingsFileFaults, A50MiBFileOfEmptyLinesStartsUnconfiguredWithoutHanging)
{
    // The worst case for reading line by line: a line end in every byte.
    EXPECT_LT(startUp(std::string(std::size_t{50} << 20, '\n')), 30.0);
    expectUnconfigured();
}

} // namespace
