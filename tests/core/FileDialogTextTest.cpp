// SPDX-License-Identifier: MIT
#include "pickers/FileDialogText.h"

#include <gtest/gtest.h>
#include <string>

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
    EXPECT_EQ(BufferText("ab\0cd"s, 260), "ab");
    // 258 bytes and a three-byte character: the character does not fit in 259 bytes and goes whole.
    const std::string text = std::string(258, 'a') + "ﾌ";
    EXPECT_EQ(BufferText(text, 260), std::string(258, 'a'));
    EXPECT_EQ(BufferText(text, 262), text);
}

TEST(FileDialogBuffer, SelectionIsLaidOutAsTheDialogWritesIt)
{
    FileDialogResult answer;
    answer.folder = "/srv";
    answer.files = {{"/srv/a.txt", "a.txt"}, {"/srv/b.txt", "b.txt"}};
    EXPECT_EQ(SelectionBuffer(answer, true, 260), "/srv\0a.txt\0b.txt\0\0"s);
    EXPECT_EQ(SelectionBuffer(answer, false, 260), "/srv/a.txt\0"s);

    answer.files.resize(1);
    EXPECT_EQ(SelectionBuffer(answer, true, 260), "/srv/a.txt\0\0"s);
}

} // namespace
