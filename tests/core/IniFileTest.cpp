// SPDX-License-Identifier: MIT
#include "config/IniText.h"
#include "config/SettingsFile.h"
#include "config/SettingsTable.h"
#include "fakes/FormHarness.h"

#include <gtest/gtest.h>
#include <map>

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
    const std::map<std::string, std::string> samples{{"LOGPATH", "/var/log/監視/iiserr.txt"},
                                                     {"SAVEFOLDER", "/srv/保存"},
                                                     {"TIMEOUT", "30"},
                                                     {"TIMER", "60"},
                                                     {"URL", "http://example.test/check.htm?a=b"},
                                                     {"KIDOU", "1"},
                                                     {"LOGIN", "0"},
                                                     {"ID", "管理者"},
                                                     {"LOGINPASS", "p=ss;word#"},
                                                     {"RESTART", "0"},
                                                     {"PROXY", "proxy.test:8080"},
                                                     {"ADDRESS", "監視@example.test"},
                                                     {"MAILID", "watch"},
                                                     {"PASSWORD", "\"secret\""},
                                                     {"SMTP", "smtp.test:587"},
                                                     {"SUBJECT", "ＩＩＳ 障害のお知らせ"},
                                                     {"SEND", "ops@example.test"},
                                                     {"CC", " "}};
    const std::vector<SettingField> settings = SettingsTable(h.form);
    ASSERT_EQ(settings.size(), samples.size());
    for (const char* section : {SettingSection, MailSection}) {
        IniEntries entries;
        for (const SettingField& setting : settings) {
            if (std::string_view(setting.section) == section) {
                entries.emplace_back(setting.key, samples.at(setting.key));
            }
        }
        ASSERT_TRUE(put(section, entries));
    }
    for (const SettingField& setting : settings) {
        EXPECT_EQ(get(setting.section, setting.key), samples.at(setting.key)) << setting.key;
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

TEST_F(IniFile, ANewFileTakesThePlatformsLineEndAndAnExistingFileKeepsItsOwn)
{
    h.encoding.lineEnding = "\r\n";
    ASSERT_TRUE(put(SettingSection, {{"URL", "http://a.test/"}, {"TIMER", "60"}}));
    ASSERT_TRUE(put(MailSection, {{"CC", "x"}}));
    EXPECT_EQ(file(), "[SETTING]\r\nURL=http://a.test/\r\nTIMER=60\r\n[MAIL]\r\nCC=x\r\n");

    // A file someone wrote with bare LFs gets no CR LF lines mixed into it.
    file() = "[SETTING]\nURL=old\n";
    ASSERT_TRUE(put(SettingSection, {{"URL", "new"}, {"TIMER", "60"}}));
    ASSERT_TRUE(put(MailSection, {{"CC", "x"}}));
    EXPECT_EQ(file(), "[SETTING]\nURL=new\nTIMER=60\n[MAIL]\nCC=x\n");

    // An empty file has no line end of its own to keep.
    file() = "";
    ASSERT_TRUE(put(MailSection, {{"CC", "y"}}));
    EXPECT_EQ(file(), "[MAIL]\r\nCC=y\r\n");
}

TEST_F(IniFile, ASectionNameRunsToTheLastClosingBracket)
{
    // In code page 932 "ゾ" is 83 5D: its second byte is "]".
    const std::string zo = "\x83\x5D";
    EXPECT_EQ(FindIniValue("[" + zo + "]\r\nK=v\r\n", zo, "K"), "v");
    EXPECT_EQ(FindIniValue("[S]]\r\nK=v\r\n", "S]", "K"), "v");
    EXPECT_EQ(FindIniValue("[S]]\r\nK=v\r\n", "S", "K"), std::nullopt);
    EXPECT_EQ(FindIniValue("[S] note\r\nK=v\r\n", "S", "K"), "v");
    EXPECT_EQ(SetIniValue("[" + zo + "]\r\nK=v\r\n", zo, "K", "w", "\n"), "[" + zo + "]\r\nK=w\r\n");
}

TEST_F(IniFile, TheDosEndOfFileMarkIsABlank)
{
    file() = "[SETTING]\r\nURL=http://a.test/\x1a\r\n\x1a";
    EXPECT_EQ(get(SettingSection, "URL"), "http://a.test/");
    ASSERT_TRUE(put(MailSection, {{"CC", "x\x1a"}}));
    EXPECT_EQ(get(MailSection, "CC"), "x\x1a");
}

// A platform encoding other than UTF-8, so that a file in UTF-8 can be told from one in it: Latin-1,
// where every byte is the character of that code point.
class Latin1Encoding : public TextEncoding
{
public:
    std::string toPlatform(std::string_view utf8) const override
    {
        std::string bytes;
        for (std::size_t i = 0; i < utf8.size();) {
            const auto lead = static_cast<unsigned char>(utf8[i]);
            const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            if (length == 2 && i + 1 < utf8.size() && lead < 0xC4) {
                bytes += static_cast<char>(((lead & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            } else {
                bytes += length == 1 ? utf8[i] : '?';
            }
            i += length;
        }
        return bytes;
    }
    std::string fromPlatform(std::string_view bytes) const override
    {
        std::string utf8;
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                utf8 += c;
            } else {
                utf8 += static_cast<char>(0xC0 | (byte >> 6));
                utf8 += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
        return utf8;
    }
    // One byte per character, a character without a form being its "?".
    std::string cutToBytes(std::string_view utf8, std::size_t maxBytes) const override
    {
        std::size_t end = 0;
        for (std::size_t count = 0; end < utf8.size() && count < maxBytes; ++count) {
            const auto lead = static_cast<unsigned char>(utf8[end]);
            end += lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        }
        return std::string(utf8.substr(0, end));
    }
    std::string_view lineEnd() const override { return "\r\n"; }
};

TEST_F(IniFile, AFileWithAUtf8ByteOrderMarkIsReadAndWrittenInUtf8)
{
    const Latin1Encoding latin1;
    file() = "\xEF\xBB\xBF[MAIL]\r\nSUBJECT=監視 café\r\n";
    EXPECT_EQ(GetIniValue(h.files, latin1, MailSection, "SUBJECT", Path), "監視 café");
    ASSERT_TRUE(PutIniSection(h.files, latin1, Path, MailSection, {{"SUBJECT", "障害 é"}, {"CC", "à"}}));
    EXPECT_EQ(file(), "\xEF\xBB\xBF[MAIL]\r\nSUBJECT=障害 é\r\nCC=à\r\n");
    EXPECT_EQ(GetIniValue(h.files, latin1, MailSection, "SUBJECT", Path), "障害 é");

    // Without the mark the file is in the platform's encoding.
    file() = "[MAIL]\r\nSUBJECT=caf\xE9\r\n";
    EXPECT_EQ(GetIniValue(h.files, latin1, MailSection, "SUBJECT", Path), "café");
    ASSERT_TRUE(PutIniSection(h.files, latin1, Path, MailSection, {{"CC", "à"}}));
    EXPECT_EQ(file(), "[MAIL]\r\nSUBJECT=caf\xE9\r\nCC=\xE0\r\n");
}

TEST_F(IniFile, AFileInUtf16IsNeitherReadNorRewritten)
{
    const std::string utf16 = "\xFF\xFE[\0M\0A\0I\0L\0]\0\r\0\n\0C\0C\0=\0x\0\r\0\n\0"s;
    file() = utf16;
    EXPECT_EQ(get(MailSection, "CC"), "");
    EXPECT_FALSE(put(MailSection, {{"CC", "y"}}));
    EXPECT_EQ(file(), utf16);
}

TEST_F(IniFile, TheFirstOfRepeatedKeysIsTheOneReadAndReplaced)
{
    file() = "[SETTING]\nURL=first\n[SETTING]\nURL=second\n";
    EXPECT_EQ(get("SETTING", "URL"), "first");
    ASSERT_TRUE(put("SETTING", {{"URL", "new"}}));
    EXPECT_EQ(file(), "[SETTING]\nURL=new\n[SETTING]\nURL=second\n");
}

TEST_F(IniFile, OnlyTheFirstSectionOfANameIsLookedInto)
{
    file() = "[SETTING]\nURL=a\n[MAIL]\nCC=x\n[SETTING]\nTIMER=60\n";
    EXPECT_EQ(get("SETTING", "TIMER"), "");
    ASSERT_TRUE(put("SETTING", {{"TIMER", "30"}}));
    EXPECT_EQ(file(), "[SETTING]\nURL=a\nTIMER=30\n[MAIL]\nCC=x\n[SETTING]\nTIMER=60\n");
    EXPECT_EQ(get("SETTING", "TIMER"), "30");
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
