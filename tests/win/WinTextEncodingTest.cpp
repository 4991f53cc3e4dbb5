// SPDX-License-Identifier: MIT
#include "win/WinTextEncoding.h"

#include "support/TemporaryFolder.h"
#include "win/WideText.h"
#include "win/WinFileSystem.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// The texts the program writes, and their Shift-JIS (code page 932) bytes.
const std::string Kanshi = "監視";            // 8A C4 8E 8B
const std::string Kan = "監";                 // 8A C4
const std::string Tesuto = "テスト";          // 83 65 83 58 83 67
const std::string HalfWidthA = "ｱ";           // B1: one byte in Shift-JIS, three in UTF-8
const std::string Smile = "\xF0\x9F\x98\x80"; // U+1F600: no form in any ANSI code page

std::string repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// The system's own code page. The tests run Wine under ja_JP.UTF-8 for it to be 932, as on the
// Japanese systems the program's texts are written for.
class SystemCodePage : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932U) << "run under LANG=ja_JP.UTF-8: the ANSI code page must be 932"; }
    WinTextEncoding encoding;
};

TEST_F(SystemCodePage, JapaneseBecomesShiftJis)
{
    EXPECT_EQ(encoding.toPlatform(Kanshi + " OK\r\n"), "\x8a\xc4\x8e\x8b OK\r\n");
    EXPECT_EQ(encoding.toPlatform(Tesuto), "\x83\x65\x83\x58\x83\x67");
    EXPECT_EQ(encoding.toPlatform(HalfWidthA), "\xb1");
    EXPECT_EQ(encoding.fromPlatform("\x8a\xc4\x8e\x8b OK\r\n"), Kanshi + " OK\r\n");
    EXPECT_EQ(encoding.fromPlatform("\xb1"), HalfWidthA);
    EXPECT_EQ(encoding.toPlatform(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST_F(SystemCodePage, ACharacterWithoutAnAnsiFormBecomesOneQuestionMark)
{
    EXPECT_EQ(encoding.toPlatform("a" + Smile + "b"), "a?b") << "one character, one '?', even as a surrogate pair";
    // No silent look-alike: "é" has no Shift-JIS form and must not come out as "e".
    EXPECT_EQ(encoding.toPlatform("caf\xC3\xA9 " + Kanshi), "caf? \x8a\xc4\x8e\x8b");
    EXPECT_EQ(encoding.toPlatform("\xFF"), "?") << "an invalid UTF-8 byte is U+FFFD, which has no form either";
}

TEST_F(SystemCodePage, BytesThatAreNotShiftJisBecomeReplacementCharacters)
{
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(encoding.fromPlatform("ab\x82"), "ab" + replacement) << "a lead byte cut off at the end";
    EXPECT_EQ(encoding.fromPlatform("\x82" + std::string("\x0a") + "z"), replacement + "\nz")
        << "a bad pair must not swallow the line end after the lead byte";
    EXPECT_EQ(encoding.fromPlatform(""), "");
}

TEST_F(SystemCodePage, ByteLimitsCountShiftJisBytesAndNeverSplitACharacter)
{
    // 1 + 31 x 2 = 63 bytes: all of it fits the tray tip.
    const std::string fits = "a" + repeat(Kan, 31);
    EXPECT_EQ(encoding.cutToBytes(fits, 63), fits);
    // 2 + 31 x 2 = 64: the last kanji would straddle byte 63, so it goes whole.
    const std::string over = "ab" + repeat(Kan, 31);
    const std::string cut = encoding.cutToBytes(over, 63);
    EXPECT_EQ(cut, "ab" + repeat(Kan, 30));
    EXPECT_EQ(encoding.toPlatform(cut).size(), 62U);
    // Half-width katakana is one byte each here, though three in UTF-8.
    EXPECT_EQ(encoding.cutToBytes(repeat(HalfWidthA, 70), 63), repeat(HalfWidthA, 63));
    // A character without a form counts as its "?".
    EXPECT_EQ(encoding.cutToBytes(repeat(Smile, 5), 3), repeat(Smile, 3));
    EXPECT_EQ(encoding.cutToBytes(Kanshi, 1), "");
    EXPECT_EQ(encoding.cutToBytes("", 63), "");
}

TEST_F(SystemCodePage, AnAnsiFileReadsBackUnchanged)
{
    TemporaryFolder folder;
    WinFileSystem files;
    const std::string log = folder / "エラー ログ.log";
    const std::string lines[] = {"2026/12/07 09:05:03 受信エラー発生！！ http://localhost/check.htm\r\n",
                                 "ﾊﾝｶｸ ｶﾀｶﾅ と 全角、記号①\r\n"};
    for (const auto& line : lines) {
        ASSERT_TRUE(files.appendToFile(log, encoding.toPlatform(line)));
    }
    const auto bytes = files.readFile(log, 1 << 20);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), encoding.toPlatform(lines[0]).size() + encoding.toPlatform(lines[1]).size());
    EXPECT_EQ(bytes->find("\xEF\xBF\xBD"), std::string::npos) << "the file holds Shift-JIS, not UTF-8";
    EXPECT_EQ(encoding.fromPlatform(*bytes), lines[0] + lines[1]);

    // And as the system's own ANSI calls read it.
    wchar_t wide[256] = {};
    const int length =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes->data(), static_cast<int>(bytes->size()), wide, 256);
    ASSERT_GT(length, 0) << "the platform's own decoder refuses the file";
    EXPECT_EQ(Narrow(std::wstring_view(wide, static_cast<std::size_t>(length))), lines[0] + lines[1]);
}

TEST(OtherCodePages, WesternEuropeanHasNoJapanese)
{
    const WinTextEncoding western(1252);
    EXPECT_EQ(western.toPlatform("caf\xC3\xA9 " + Kanshi), "caf\xE9 ??");
    EXPECT_EQ(western.fromPlatform("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(western.cutToBytes("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9");
}

TEST(OtherCodePages, Utf8AsTheAnsiCodePageIsUtf8)
{
    const WinTextEncoding utf8(CP_UTF8);
    EXPECT_EQ(utf8.toPlatform(Kanshi + Smile), Kanshi + Smile);
    EXPECT_EQ(utf8.fromPlatform("a\xFF"), "a\xEF\xBF\xBD");
    EXPECT_EQ(utf8.cutToBytes(Kanshi, 5), Kan);
}

} // namespace
