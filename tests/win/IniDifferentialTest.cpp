// SPDX-License-Identifier: MIT
// Our INI reader (GetIniValue over the Windows files and the ANSI code page) against the platform's
// own GetPrivateProfileStringA with a 512-byte buffer, over the same files, under code page 932.
// Every difference fails unless the table of expected differences below lists it with its reason;
// a listed difference that no longer occurs fails too, so the table stays true. The whole comparison
// is printed, one row per lookup.
#include "config/SettingsFile.h"
#include "support/TemporaryFolder.h"
#include "win/WideText.h"
#include "win/WinFileSystem.h"
#include "win/WinFiles.h"
#include "win/WinTextEncoding.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <windows.h>

namespace {

using namespace std::string_literals;

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

std::string repeat(const std::string& text, std::size_t times)
{
    std::string out;
    for (std::size_t i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// Code page 932 bytes shown readably: ASCII as it is, whole characters as UTF-8, any other byte as
// \xNN; a long text by its two ends and its length.
std::string shown(const std::string& bytes)
{
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = IsDBCSLeadByte(byte) != FALSE && i + 1 < bytes.size() ? 2 : 1;
        wchar_t wide[2] = {};
        const int converted = byte >= 0x20 && byte < 0x7F
                                  ? 0
                                  : MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                                        static_cast<int>(length), wide, 2);
        if (byte >= 0x20 && byte < 0x7F) {
            pieces.emplace_back(1, bytes[i++]);
        } else if (converted == 1 && wide[0] >= 0x80 && wide[0] != 0xFFFD) {
            pieces.push_back(Narrow(std::wstring_view(wide, 1)));
            i += length;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            pieces.emplace_back(hex);
            i += 1;
        }
    }
    std::string out;
    if (pieces.size() <= 24) {
        for (const auto& piece : pieces) {
            out += piece;
        }
        return out;
    }
    for (std::size_t i = 0; i < 8; ++i) {
        out += pieces[i];
    }
    out += "...";
    for (std::size_t i = pieces.size() - 8; i < pieces.size(); ++i) {
        out += pieces[i];
    }
    return out + " (" + std::to_string(bytes.size()) + " bytes)";
}

struct Lookup
{
    std::string section; // UTF-8
    std::string key;     // UTF-8
};

struct Case
{
    std::string name;
    std::string bytes; // the file, in code page 932 (or as the case says)
    std::vector<Lookup> lookups;
};

// Files in code page 932 are written from UTF-8 text with the platform's conversion; raw bytes stay.
Case text(std::string name, const std::string& utf8, std::vector<Lookup> lookups)
{
    return {std::move(name), ansi(utf8), std::move(lookups)};
}
Case raw(std::string name, std::string bytes, std::vector<Lookup> lookups)
{
    return {std::move(name), std::move(bytes), std::move(lookups)};
}

std::vector<Case> cases()
{
    const std::string longJapanese = repeat("あ", 300); // 600 bytes
    return {
        text("plain CR LF", "[SETTING]\r\nURL=http://a.test/\r\nTIMER=60\r\n",
             {{"SETTING", "URL"}, {"SETTING", "TIMER"}, {"SETTING", "NONE"}}),
        text("plain LF", "[SETTING]\nURL=http://a.test/\nTIMER=60\n", {{"SETTING", "URL"}, {"SETTING", "TIMER"}}),
        text("no line end at the end", "[SETTING]\r\nURL=last", {{"SETTING", "URL"}}),
        text("CR alone ends no line", "[SETTING]\rURL=v\r", {{"SETTING", "URL"}}),
        text("missing section", "[OTHER]\r\nURL=x\r\n", {{"SETTING", "URL"}}),
        text("empty file", "", {{"SETTING", "URL"}}),
        text("case of names", "[setting]\r\nUrl=x\r\n", {{"SETTING", "URL"}, {"Setting", "url"}}),
        text("blanks around key and value", "[SETTING]\r\n \t URL \t=  \t http://a.test/ \t \r\n",
             {{"SETTING", "URL"}}),
        text("blanks before the header", "   [SETTING]   \r\nURL=v\r\n", {{"SETTING", "URL"}}),
        text("blanks inside the brackets", "[ SETTING ]\r\nURL=v\r\n", {{"SETTING", "URL"}, {" SETTING ", "URL"}}),
        text("blank-only value", "[S]\r\nK=   \r\nL=\r\n", {{"S", "K"}, {"S", "L"}}),
        text("quotes",
             "[S]\r\nA=\"quoted\"\r\nB='single'\r\nC=\"mixed'\r\nD=\"\r\nE=\"\"\r\nF=  \" padded \"  \r\n"
             "G=\"a\"b\"\r\nH=x\"y\"\r\nI='\"both\"'\r\n",
             {{"S", "A"},
              {"S", "B"},
              {"S", "C"},
              {"S", "D"},
              {"S", "E"},
              {"S", "F"},
              {"S", "G"},
              {"S", "H"},
              {"S", "I"}}),
        text("value holding =", "[S]\r\nK=a=b=c\r\n", {{"S", "K"}}),
        text("duplicate keys", "[S]\r\nK=first\r\nK=second\r\n", {{"S", "K"}}),
        text("duplicate sections", "[S]\r\nA=1\r\n[T]\r\nB=2\r\n[S]\r\nA=3\r\nC=4\r\n",
             {{"S", "A"}, {"S", "C"}, {"T", "B"}}),
        text("comments", "[S]\r\n;K=commented\r\nK=real\r\n  ;L=indented comment\r\n#M=hash\r\nN=v ;not a comment\r\n",
             {{"S", "K"}, {"S", "L"}, {"S", ";L"}, {"S", "#M"}, {"S", "N"}}),
        text("key without =", "[S]\r\nLONELY\r\nK=v\r\n", {{"S", "LONELY"}, {"S", "K"}}),
        text("empty key name", "[S]\r\n=nameless\r\nK=v\r\n", {{"S", ""}, {"S", "K"}}),
        text("key with a blank inside", "[S]\r\nMY KEY=v\r\n", {{"S", "MY KEY"}, {"S", "MYKEY"}}),
        text("lines before the first section", "K=orphan\r\n[S]\r\nK=v\r\n", {{"S", "K"}, {"", "K"}}),
        text("header with text after it", "[S] trailing\r\nK=v\r\n", {{"S", "K"}}),
        text("header with two closing brackets", "[S]]\r\nK=v\r\n", {{"S", "K"}, {"S]", "K"}}),
        text("header without closing bracket", "[T]\r\n[S\r\nK=v\r\n", {{"S", "K"}, {"T", "K"}, {"T", "[S"}}),
        text("value 511 bytes", "[S]\r\nK=" + std::string(511, 'v') + "\r\n", {{"S", "K"}}),
        text("value 512 bytes", "[S]\r\nK=" + std::string(512, 'v') + "\r\n", {{"S", "K"}}),
        text("value over 511 bytes", "[S]\r\nK=" + std::string(600, 'v') + "\r\n", {{"S", "K"}}),
        text("Shift-JIS value over 511 bytes, cut between characters", "[S]\r\nK=a" + longJapanese + "\r\n",
             {{"S", "K"}}),
        text("Shift-JIS value over 511 bytes, cut inside a character", "[S]\r\nK=ab" + longJapanese + "\r\n",
             {{"S", "K"}}),
        text("Shift-JIS names and values",
             "[監視]\r\nキー=値 テスト\r\nｶﾅ=ﾊﾝｶｸ ｱﾗｰﾄ\r\n[SETTING]\r\nLOGPATH=C:\\ログ\\表示\\iiserr.txt\r\n",
             {{"監視", "キー"}, {"監視", "ｶﾅ"}, {"SETTING", "LOGPATH"}}),
        text("Shift-JIS trail byte ] in a section name", "[ゾーン]\r\nK=v\r\n", {{"ゾーン", "K"}}),
        text("Shift-JIS trail byte \\ before a quote", "[S]\r\nK=\"ソ\"\r\n", {{"S", "K"}}),
        text("full-width letters differ only in case", "[S]\r\nＫＥＹ=v\r\n", {{"S", "ｋｅｙ"}, {"S", "ＫＥＹ"}}),
        text("Cyrillic differs only in case", "[S]\r\nЖ=v\r\n", {{"S", "ж"}}),
        text("ideographic spaces around a value", "[S]\r\nK=\u3000値\u3000\r\n", {{"S", "K"}}),
        raw("NUL inside a value", "[S]\r\nK=ab\0cd\r\n"s, {{"S", "K"}}),
        raw("DOS end-of-file mark after a value", "[S]\r\nK=v\x1a\r\n", {{"S", "K"}}),
        raw("bytes that are not Shift-JIS", "[S]\r\nK=a\x81\x20z\xA0\r\n", {{"S", "K"}}),
        raw("UTF-8 with a byte-order mark", "\xEF\xBB\xBF[S]\r\nK=\xE7\x9B\xA3\xE8\xA6\x96\r\nL=plain\r\n",
            {{"S", "K"}, {"S", "L"}}),
        raw("UTF-16 with a byte-order mark", "\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0v\0\r\0\n\0"s, {{"S", "K"}}),
    };
}

// Each difference the comparison meets must be here, with the reason it is expected.
const std::map<std::string, std::string>& expectedDifferences()
{
    static const std::map<std::string, std::string> table{
        {"CR alone ends no line: [SETTING] URL",
         "Wine ends a line at a lone CR too; our reader, like our writer, at LF only. No Windows tool "
         "writes lone CRs, and the program's own files end every line with CR LF"},
        {"blanks inside the brackets: [ SETTING ] URL",
         "Wine trims the name it is asked for; our reader compares it as given. The program asks only for "
         "SETTING and MAIL"},
        {"comments: [S] ;L",
         "Wine keeps a comment line as a key whose name starts with \";\", which a lookup of that very name "
         "finds; our reader skips comment lines. No name the program asks for starts with \";\""},
        {"empty key name: [S] ",
         "Wine finds a line \"=value\" under the empty name; our reader treats an empty name as no key. The "
         "program never asks for an empty name"},
        {"lines before the first section: [] K",
         "Wine keeps lines before the first header in a section named \"\"; ours in no section, so that a stray "
         "line above [SETTING] is never taken for a setting. The program never asks for the section \"\""},
        {"Shift-JIS value over 511 bytes, cut inside a character: [S] K",
         "The 512-byte buffer ends inside a double-byte character. Ours stops before that character (510 "
         "bytes), as every byte limit does; Wine's A call converts into 511 bytes, leaves the last one "
         "unwritten and still counts it (the \\x7F is the test's fill byte), which would show as a broken "
         "character"},
        {"bytes that are not Shift-JIS: [S] K",
         "Not text in code page 932. Ours decodes each bad byte as U+FFFD (written back as \"?\") and keeps the "
         "ASCII byte after a lone lead byte; Wine's decoder turns the bad pair into \"・\", swallowing the "
         "space, and carries 0xA0 through a private-use character. A settings file is text in the code "
         "page: such bytes are outside its format"},
        {"UTF-16 with a byte-order mark: [S] K",
         "Wine reads UTF-16 files; our reader reads nothing from one, and a save refuses to rewrite it "
         "rather than add code-page lines to it. The program writes the code page, or keeps UTF-8 with a "
         "byte-order mark as UTF-8"},
    };
    return table;
}

std::string platformRead(const Lookup& lookup, const std::string& file)
{
    char buffer[512];
    std::fill(std::begin(buffer), std::end(buffer), '\x7f');
    const DWORD length = GetPrivateProfileStringA(ansi(lookup.section).c_str(), ansi(lookup.key).c_str(), "", buffer,
                                                  sizeof buffer, ansi(file).c_str());
    return std::string(buffer, std::min<DWORD>(length, sizeof buffer));
}

TEST(IniDifferential, OurReaderReadsAsTheProfileApi)
{
    ASSERT_EQ(GetACP(), 932U) << "run under LC_ALL=ja_JP.UTF-8";
    // A folder the A calls can reach: its name is within code page 932.
    const TemporaryFolder folder("比較 テスト ");
    WinFileSystem files;
    WinTextEncoding encoding;
    std::map<std::string, bool> listedSeen;
    for (const auto& [id, reason] : expectedDifferences()) {
        listedSeen[id] = false;
    }

    std::printf("| case | lookup | ours | platform | result |\n|---|---|---|---|---|\n");
    int number = 0;
    for (const Case& c : cases()) {
        // A file of its own per case: the profile API caches files by name.
        const std::string path = folder / ("case " + std::to_string(number++) + ".ini");
        ASSERT_TRUE(WriteWholeFile(path, c.bytes));
        for (const Lookup& lookup : c.lookups) {
            const std::string id = c.name + ": [" + lookup.section + "] " + lookup.key;
            const std::string ours = ansi(GetIniValue(files, encoding, lookup.section, lookup.key, path));
            const std::string platform = platformRead(lookup, path);
            const auto listed = expectedDifferences().find(id);
            std::string result = "agree";
            if (ours != platform) {
                if (listed == expectedDifferences().end()) {
                    ADD_FAILURE() << id << ": ours \"" << shown(ours) << "\", the platform's \"" << shown(platform)
                                  << "\"";
                    result = "UNEXPECTED DIFFERENCE";
                } else {
                    listedSeen[id] = true;
                    result = "differ: " + listed->second;
                }
            }
            std::printf("| %s | [%s] %s | %s | %s | %s |\n", c.name.c_str(), lookup.section.c_str(), lookup.key.c_str(),
                        shown(ours).c_str(), shown(platform).c_str(), result.c_str());
        }
    }
    for (const auto& [id, seen] : listedSeen) {
        EXPECT_TRUE(seen) << id << ": listed as an expected difference, but the two readers agree (or no such lookup)";
    }
}

} // namespace
