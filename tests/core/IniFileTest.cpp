// SPDX-License-Identifier: MIT
#include "config/IniText.h"
#include "config/SettingsFile.h"
#include "fakes/FormHarness.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

const std::string Path = "/opt/sentrybell/SETTING.ini";

class IniFile : public ::testing::Test
{
protected:
    IniFile() { h.files.addFolder("/opt/sentrybell"); }

    std::string get(const std::string& section, const std::string& key)
    {
        return GetIniValue(h.files, h.encoding, section, key, Path);
    }
    bool put(const std::string& section, const IniEntries& entries)
    {
        return PutIniSection(h.files, h.encoding, Path, section, entries);
    }
    std::string& file() { return h.files.files[Path]; }

    FormHarness h;
};

TEST_F(IniFile, EveryKeyOfBothSectionsReadsBackAsWritten)
{
    const IniEntries setting{{"LOGPATH", "/var/log/監視/iiserr.txt"},
                             {"SAVEFOLDER", "/srv/保存"},
                             {"TIMEOUT", "30"},
                             {"TIMER", "60"},
                             {"URL", "http://example.test/check.htm?a=b"},
                             {"KIDOU", "1"},
                             {"LOGIN", "0"},
                             {"ID", "管理者"},
                             {"LOGINPASS", "p=ss;word#"},
                             {"RESTART", "0"},
                             {"PROXY", "proxy.test:8080"}};
    const IniEntries mail{{"ADDRESS", "監視@example.test"},
                          {"MAILID", "watch"},
                          {"PASSWORD", "\"secret\""},
                          {"SMTP", "smtp.test:587"},
                          {"SUBJECT", "ＩＩＳ 障害のお知らせ"},
                          {"SEND", "ops@example.test"},
                          {"CC", " "}};
    ASSERT_TRUE(put(SettingSection, setting));
    ASSERT_TRUE(put(MailSection, mail));
    for (const auto& [key, value] : setting) {
        EXPECT_EQ(get(SettingSection, key), value) << key;
    }
    for (const auto& [key, value] : mail) {
        EXPECT_EQ(get(MailSection, key), value) << key;
    }
}

TEST_F(IniFile, ValuesThatReadingWouldChangeComeBackWhole)
{
    for (const std::string value : {" ", " a ", "\tb", "\"quoted\"", "'single'", "\"", "\"\"", "' x '", "x "}) {
        ASSERT_TRUE(put(MailSection, {{"CC", value}}));
        EXPECT_EQ(get(MailSection, "CC"), value) << file();
    }
    ASSERT_TRUE(put(MailSection, {{"CC", "plain"}}));
    EXPECT_EQ(file(), "[MAIL]\nCC=plain\n"); // an ordinary value is not quoted
}

TEST_F(IniFile, NamesMatchWithoutRegardToCase)
{
    file() = "[mail]\r\nAddress=a@example.test\r\n";
    EXPECT_EQ(get("MAIL", "ADDRESS"), "a@example.test");
    EXPECT_EQ(get("Mail", "address"), "a@example.test");
    ASSERT_TRUE(put("MAIL", {{"ADDRESS", "b@example.test"}}));
    EXPECT_EQ(file(), "[mail]\r\nAddress=b@example.test\r\n");
}

TEST_F(IniFile, BlanksAndOneEnclosingPairOfQuotesAreRemovedOnReading)
{
    file() = "[SETTING]\n"
             "  URL  =   http://a.test/  \t\n"
             "ID=\"  admin  \"\n"
             "LOGINPASS='\"pw\"'\n"
             "PROXY=\"mixed'\n"
             "LOGPATH=\n";
    EXPECT_EQ(get("SETTING", "URL"), "http://a.test/");
    EXPECT_EQ(get("SETTING", "ID"), "  admin  ");
    EXPECT_EQ(get("SETTING", "LOGINPASS"), "\"pw\"");
    EXPECT_EQ(get("SETTING", "PROXY"), "\"mixed'");
    EXPECT_EQ(get("SETTING", "LOGPATH"), "");
    EXPECT_EQ(get("SETTING", "TIMER"), "");
    EXPECT_EQ(get("OTHER", "URL"), "");
}

TEST_F(IniFile, LongValuesAreCutAt511BytesOnACharacterBoundary)
{
    std::string japanese;
    for (int i = 0; i < 200; ++i) {
        japanese += "あ"; // three bytes each: 600 in all
    }
    ASSERT_TRUE(put(MailSection, {{"SUBJECT", japanese}, {"CC", std::string(600, 'c')}}));
    const std::string subject = get(MailSection, "SUBJECT");
    EXPECT_EQ(subject.size(), 510U);
    EXPECT_EQ(subject, japanese.substr(0, 510));
    EXPECT_EQ(get(MailSection, "CC"), std::string(511, 'c'));
}

TEST_F(IniFile, ASaveLeavesEveryOtherLineAsItWas)
{
    file() = "; written by hand\r\n"
             "[OTHER]\r\n"
             "LOGPATH = keep me \r\n"
             "\r\n"
             "[SETTING]\r\n"
             "  logpath = old ; not a comment\r\n"
             "; a note inside the section\r\n"
             "\r\n"
             "[MAIL]\r\n"
             "CC=x";
    ASSERT_TRUE(put(SettingSection, {{"LOGPATH", "/var/log/new.txt"}, {"TIMER", "60"}}));
    EXPECT_EQ(file(), "; written by hand\r\n"
                      "[OTHER]\r\n"
                      "LOGPATH = keep me \r\n"
                      "\r\n"
                      "[SETTING]\r\n"
                      "  logpath =/var/log/new.txt\r\n"
                      "; a note inside the section\r\n"
                      "TIMER=60\r\n"
                      "\r\n"
                      "[MAIL]\r\n"
                      "CC=x");
    ASSERT_TRUE(put("NEW", {{"KEY", "v"}}));
    const std::string tail = "\r\n[MAIL]\r\nCC=x\r\n[NEW]\r\nKEY=v\r\n";
    EXPECT_EQ(file().substr(file().size() - tail.size()), tail);
}

TEST_F(IniFile, TheFirstOfRepeatedKeysIsTheOneReadAndReplaced)
{
    file() = "[SETTING]\nURL=first\n[SETTING]\nURL=second\n";
    EXPECT_EQ(get("SETTING", "URL"), "first");
    ASSERT_TRUE(put("SETTING", {{"URL", "new"}}));
    EXPECT_EQ(file(), "[SETTING]\nURL=new\n[SETTING]\nURL=second\n");
}

TEST_F(IniFile, ALineBreakInAValueAddsNoLine)
{
    ASSERT_TRUE(put(SettingSection, {{"PROXY", "proxy.test\r\nLOGPATH=/tmp/evil\nRESTART=1"}}));
    EXPECT_EQ(file(), "[SETTING]\nPROXY=proxy.test  LOGPATH=/tmp/evil RESTART=1\n");
    EXPECT_EQ(get(SettingSection, "LOGPATH"), "");
    EXPECT_EQ(get(SettingSection, "RESTART"), "");
}

TEST_F(IniFile, ReadingAMissingFileGivesEmptyTextsAndCreatesNothing)
{
    EXPECT_EQ(get(SettingSection, "URL"), "");
    EXPECT_TRUE(h.files.files.empty());
}

TEST_F(IniFile, AFileThatIsNotTextIsReadWithoutHarm)
{
    std::string garbage;
    for (int i = 0; i < 70000; ++i) {
        garbage += static_cast<char>((i * 7919) % 256);
    }
    file() = garbage + "\n[SETTING]\nURL=\xff\xfe\0tail\nID=a\0b\n"s + garbage;
    EXPECT_EQ(get(SettingSection, "URL"), "\xEF\xBF\xBD\xEF\xBF\xBD"); // invalid bytes shown as U+FFFD
    EXPECT_EQ(get(SettingSection, "ID"), "a");                         // the text ends at a NUL
    ASSERT_TRUE(put(SettingSection, {{"URL", "http://a.test/"}}));
    EXPECT_EQ(get(SettingSection, "URL"), "http://a.test/");
    EXPECT_EQ(file().substr(0, garbage.size()), garbage);
}

TEST_F(IniFile, AFileTooLargeToRewriteIsReadButNeverCutShort)
{
    const std::string huge = "[SETTING]\nURL=http://a.test/\n" + std::string(IniFileMaxBytes, ';');
    file() = huge;
    EXPECT_EQ(get(SettingSection, "URL"), "http://a.test/");
    EXPECT_FALSE(put(SettingSection, {{"URL", "http://b.test/"}}));
    EXPECT_EQ(file(), huge);
}

TEST_F(IniFile, ASaveIsOneReplacementOfAPrivateFile)
{
    ASSERT_TRUE(put(SettingSection, {{"LOGPATH", "a"}, {"SAVEFOLDER", "b"}, {"TIMEOUT", "30"}}));
    EXPECT_EQ(h.files.replacements, 1);
    EXPECT_EQ(h.files.lastAccess, NewFileAccess::Private);
    EXPECT_EQ(file(), "[SETTING]\nLOGPATH=a\nSAVEFOLDER=b\nTIMEOUT=30\n");
}

TEST_F(IniFile, AFailedWriteLeavesTheFileAsItWas)
{
    file() = "[SETTING]\nURL=old\n";
    h.files.failWrites = true;
    EXPECT_FALSE(put(SettingSection, {{"URL", "new"}}));
    EXPECT_EQ(file(), "[SETTING]\nURL=old\n");
    EXPECT_FALSE(PutIniValue(h.files, h.encoding, "/no/such/folder/SETTING.ini", "SETTING", "URL", "x"));
}

TEST(SettingsPath, OneSeparatorBeforeTheFileName)
{
    FakeEnvironment environment;
    environment.folder = "/opt/sentrybell";
    EXPECT_EQ(SettingsFilePath(environment), "/opt/sentrybell/SETTING.ini");
    environment.folder = "/";
    EXPECT_EQ(SettingsFilePath(environment), "/SETTING.ini");
}

} // namespace

namespace {

TEST(IniManyKeys, OnePassAnswersAsEachSearchWould)
{
    const std::string files[] = {
        "\xEF\xBB\xBF[Setting]\r\nTIMER=30\r\n;URL=commented\r\n[MAIL]\r\nSMTP = a \r\n[setting]\r\nURL=second\r\n",
        "URL=before any section\n[SETTING]\nurl=one\nURL=two\n[SETTING]\nTIMER=\n",
        "[SETTING\nTIMER=unclosed header line\n[ SETTING ]\n=no name\nTIMER=5",
        "",
        "[MAIL]\nCC=x;y\n[SETTING]\n  ; TIMER=comment\n\tTIMER\t=\t7\t\n",
        std::string(1000, '\n') + "[SETTING]\nURL=late\n",
    };
    const std::vector<IniKeyName> keys{{"SETTING", "TIMER"}, {"SETTING", "URL"}, {"MAIL", "SMTP"},
                                       {"MAIL", "CC"},       {"SETTING", ""},    {"OTHER", "URL"}};
    for (const std::string& file : files) {
        const auto values = FindIniValues(file, keys);
        ASSERT_EQ(values.size(), keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) {
            EXPECT_EQ(values[i], FindIniValue(file, keys[i].first, keys[i].second))
                << "[" << keys[i].first << "] " << keys[i].second << " in:\n"
                << file;
        }
    }
}

} // namespace
