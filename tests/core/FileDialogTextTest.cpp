// SPDX-License-Identifier: MIT
#include "pickers/FileDialogText.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;

TEST(FileDialogFilter, BarsBecomeNulsAndOneMoreNulEndsTheList)
{
    EXPECT_EQ(ConvertFilter("textﾌｧｲﾙ|*.txt"), "textﾌｧｲﾙ\0*.txt\0"s);
    EXPECT_EQ(ConvertFilter("A|*.a|B|*.b;*.c"), "A\0*.a\0B\0*.b;*.c\0"s);
    EXPECT_EQ(FilterEntries(ConvertFilter("textﾌｧｲﾙ|*.txt")), (std::vector<FileFilter>{{"textﾌｧｲﾙ", "*.txt"}}));
    EXPECT_EQ(FilterEntries(ConvertFilter("A|*.a|B|*.b;*.c")),
              (std::vector<FileFilter>{{"A", "*.a"}, {"B", "*.b;*.c"}}));
}

TEST(FileDialogFilter, EmptyFilterIsOneNulAndNoEntry)
{
    EXPECT_EQ(ConvertFilter(""), "\0"s);
    EXPECT_TRUE(FilterEntries(ConvertFilter("")).empty());
}

TEST(FileDialogFilter, FilterWithoutBarIsOneDescriptionWithNoPattern)
{
    EXPECT_EQ(ConvertFilter("text"), "text\0"s);
    EXPECT_EQ(FilterEntries(ConvertFilter("text")), (std::vector<FileFilter>{{"text", ""}}));
}

TEST(FileDialogFilter, ListEndsWhereTheDialogSeesTwoNuls)
{
    // "A||B|*.b" holds an empty pattern, which the dialog takes for the list's end.
    EXPECT_EQ(FilterEntries(ConvertFilter("A||B|*.b")), (std::vector<FileFilter>{{"A", ""}}));
    EXPECT_TRUE(FilterEntries(ConvertFilter("|*.b")).empty());
    EXPECT_EQ(FilterEntries(ConvertFilter("A|*.a|B")), (std::vector<FileFilter>{{"A", "*.a"}, {"B", ""}}));
}

TEST(FileDialogBuffer, TextEndsAtItsNulAndIsNeverCutInsideACharacter)
{
    constexpr auto utf8 = DialogTextUnit::Utf8;
    EXPECT_EQ(BufferText("ab\0cd"s, 260, utf8), "ab");
    // 258 bytes and a three-byte character: the character does not fit in 259 bytes and goes whole.
    const std::string text = std::string(258, 'a') + "ﾌ";
    EXPECT_EQ(BufferText(text, 260, utf8), std::string(258, 'a'));
    EXPECT_EQ(BufferText(text, 262, utf8), text);
}

TEST(FileDialogBuffer, WindowsCountsUtf16UnitsSoAJapanesePathNearTheLimitFits)
{
    constexpr auto utf16 = DialogTextUnit::Utf16;
    // A path of 259 characters, all but three Japanese: 771 bytes of UTF-8 but 259 UTF-16 units,
    // which with its NUL just fill MAX_PATH.
    std::string path = "C:/";
    while (BufferLength(path, utf16) < 259) {
        path += "監";
    }
    EXPECT_EQ(BufferText(path, 260, utf16), path);
    EXPECT_EQ(BufferText(path + "視", 260, utf16), path);
    // A character beyond U+FFFF takes two units and is never split between them.
    EXPECT_EQ(BufferLength("𠮷", utf16), 2U);
    EXPECT_EQ(BufferText("a𠮷", 3, utf16), "a");

    FileDialogResult answer;
    answer.files = {{path, "x"}};
    EXPECT_EQ(SelectionBuffer(answer, false, 260, utf16), path + "\0"s);
    EXPECT_EQ(SelectionBuffer(answer, false, 260, DialogTextUnit::Utf8), std::nullopt);
}

TEST(FileDialogBuffer, SelectionIsLaidOutAsTheDialogWritesIt)
{
    constexpr auto utf8 = DialogTextUnit::Utf8;
    FileDialogResult answer;
    answer.folder = "/srv";
    answer.files = {{"/srv/a.txt", "a.txt"}, {"/srv/b.txt", "b.txt"}};
    EXPECT_EQ(SelectionBuffer(answer, true, 260, utf8), "/srv\0a.txt\0b.txt\0\0"s);
    EXPECT_EQ(SelectionBuffer(answer, false, 260, utf8), "/srv/a.txt\0"s);

    answer.files.resize(1);
    EXPECT_EQ(SelectionBuffer(answer, true, 260, utf8), "/srv/a.txt\0\0"s);
}

TEST(FileDialogTypedName, TheSelectedTypeLendsItsExtensionBeforeTheDefaultOne)
{
    const std::vector<FileFilter> types = {{"text", "*.txt;*.log"}, {"all", "*.*"}, {"bare", "*."}, {"none", ""}};
    for (const auto& [index, expected] :
         {std::pair{1, "txt"}, {2, "doc"}, {3, ""}, {4, "doc"}, {0, "txt"}, {9, "txt"}}) {
        EXPECT_EQ(TypedNameExtension(types, index, "doc"), expected) << "type " << index;
    }
    EXPECT_EQ(TypedNameExtension({}, 0, "doc"), "doc");
    EXPECT_EQ(TypedNameExtension(types, 1, ""), ""); // no default extension: nothing is added
}

} // namespace
