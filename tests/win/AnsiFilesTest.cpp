// SPDX-License-Identifier: MIT
// SETTING.ini and the failure log as the Windows program leaves them: in the ANSI code page (932
// under the tests' Japanese locale) with CR LF line ends, byte for byte what the platform's own
// profile API and editors expect, and readable both ways with the profile API.
#include "common/Clock.h"
#include "config/SettingsFile.h"
#include "fakes/FormHarness.h"
#include "monitor/FailureLog.h"
#include "shell/Form1.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"
#include "support/TemporaryFolder.h"
#include "win/WideText.h"
#include "win/WinEnvironment.h"
#include "win/WinFileSystem.h"
#include "win/WinFiles.h"
#include "win/WinTextEncoding.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// The platform's own conversion to the ANSI code page, independent of the adapter under test.
std::string ansi(const std::string& utf8)
{
    const std::wstring wide = Widen(utf8);
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::string profileRead(const std::string& section, const std::string& key, const std::string& file)
{
    char buffer[512] = {};
    const DWORD length = GetPrivateProfileStringA(ansi(section).c_str(), ansi(key).c_str(), "", buffer, sizeof buffer,
                                                  ansi(file).c_str());
    return std::string(buffer, length);
}

class AnsiFiles : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932U) << "run under LC_ALL=ja_JP.UTF-8"; }

    // A name within code page 932, so that the profile API's A calls reach the file too.
    TemporaryFolder folder{"設定 ファイル "};
    WinFileSystem files;
    WinTextEncoding encoding;
};

TEST_F(AnsiFiles, ANewSettingsFileIsShiftJisWithCrLfAndTheProfileApiReadsItBack)
{
    const std::string path = folder / SettingsFileName;
    const IniEntries setting{{"LOGPATH", "C:\\ログ\\iiserr.txt"},
                             {"URL", "http://localhost/check.htm"},
                             {"ID", "管理者"},
                             {"PROXY", ""},
                             {"RESTART", "0"}};
    const IniEntries mail{{"SUBJECT", "ＩＩＳ 障害のお知らせ ｱﾗｰﾄ"}, {"CC", " a@example.test "}};
    ASSERT_TRUE(PutIniSection(files, encoding, path, SettingSection, setting));
    ASSERT_TRUE(PutIniSection(files, encoding, path, MailSection, mail));

    EXPECT_EQ(ReadWholeFile(path), ansi("[SETTING]\r\n"
                                        "LOGPATH=C:\\ログ\\iiserr.txt\r\n"
                                        "URL=http://localhost/check.htm\r\n"
                                        "ID=管理者\r\n"
                                        "PROXY=\r\n"
                                        "RESTART=0\r\n"
                                        "[MAIL]\r\n"
                                        "SUBJECT=ＩＩＳ 障害のお知らせ ｱﾗｰﾄ\r\n"
                                        "CC=\" a@example.test \"\r\n"));
    for (const auto& [key, value] : setting) {
        EXPECT_EQ(profileRead(SettingSection, key, path), ansi(value)) << key;
    }
    for (const auto& [key, value] : mail) {
        EXPECT_EQ(profileRead(MailSection, key, path), ansi(value)) << key;
    }
}

TEST_F(AnsiFiles, AFileTheProfileApiWroteIsReadAndUpdatedInPlace)
{
    const std::string path = folder / SettingsFileName;
    const std::string file = ansi(path);
    ASSERT_NE(WritePrivateProfileStringA("SETTING", "LOGPATH", ansi("C:\\ログ\\iiserr.txt").c_str(), file.c_str()),
              FALSE);
    ASSERT_NE(WritePrivateProfileStringA("SETTING", "ID", ansi("管理者").c_str(), file.c_str()), FALSE);
    ASSERT_NE(WritePrivateProfileStringA("MAIL", "SUBJECT", ansi("障害 ｱﾗｰﾄ").c_str(), file.c_str()), FALSE);

    EXPECT_EQ(GetIniValue(files, encoding, SettingSection, "LOGPATH", path), "C:\\ログ\\iiserr.txt");
    EXPECT_EQ(GetIniValue(files, encoding, SettingSection, "ID", path), "管理者");
    EXPECT_EQ(GetIniValue(files, encoding, MailSection, "SUBJECT", path), "障害 ｱﾗｰﾄ");

    const std::string before = ReadWholeFile(path).value_or("");
    ASSERT_TRUE(PutIniSection(files, encoding, path, SettingSection, {{"ID", "監視者"}, {"TIMER", "60"}}));
    const std::string after = ReadWholeFile(path).value_or("");
    EXPECT_EQ(after.find("\n"), after.find("\r\n") + 1) << "still CR LF";
    EXPECT_EQ(profileRead(SettingSection, "ID", path), ansi("監視者"));
    EXPECT_EQ(profileRead(SettingSection, "TIMER", path), "60");
    EXPECT_EQ(profileRead(SettingSection, "LOGPATH", path), ansi("C:\\ログ\\iiserr.txt"));
    EXPECT_EQ(profileRead(MailSection, "SUBJECT", path), ansi("障害 ｱﾗｰﾄ"));
    EXPECT_NE(before, after);
}

TEST_F(AnsiFiles, TheFailureLogIsShiftJisWithCrLf)
{
    WinEnvironment environment;
    FormHarness h({.environment = &environment, .files = &files, .encoding = &encoding});
    Form1& form = h.form;
    form.txtLog.Text = folder / "エラー ログ.txt";

    AppendFailureLog(form, 2, 1);
    AppendFailureLog(form, 4, 2);
    AppendRecoveryLog(form);

    const std::string when = DateTimeText(h.clock.localNow());
    EXPECT_EQ(ReadWholeFile(form.txtLog.Text()), ansi(when + "ＵＲＬ指定エラー\r\n" + when + "受信エラー\r\n" + when +
                                                      "\t自動 Costom:0\tIIS再起動！！\r\n"));
    // Code page 932 bytes, not UTF-8: "ＵＲＬ" is 82 74 82 71 82 6B.
    EXPECT_NE(ReadWholeFile(form.txtLog.Text()).value_or("").find("\x82\x74\x82\x71\x82\x6b"), std::string::npos);
}

TEST_F(AnsiFiles, TheTrayTipIsCutTo63ShiftJisBytesBetweenCharacters)
{
    WinEnvironment environment;
    FormHarness h({.environment = &environment, .files = &files, .encoding = &encoding});
    Form1& form = h.form;
    std::string caption = "a";
    for (int i = 0; i < 40; ++i) {
        caption += "受";
    }
    SetTrayIcon(form, AppTitle, TrayMessage::Add);
    ShowStatus(form, caption);
    EXPECT_EQ(form.Caption(), caption);
    EXPECT_EQ(ansi(h.tray.tip).size(), 63U) << "1 + 31 x 2 bytes";
    EXPECT_EQ(caption.rfind(h.tray.tip, 0), 0U);
}

} // namespace
