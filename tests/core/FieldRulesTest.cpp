// SPDX-License-Identifier: MIT
#include "config/FieldRules.h"

#include <gtest/gtest.h>

namespace {

using SecondsRule = std::optional<std::int32_t> (*)(std::string_view);

class SecondsFields : public ::testing::TestWithParam<SecondsRule>
{
};

TEST_P(SecondsFields, WholeSecondsBecomeMilliseconds)
{
    const SecondsRule rule = GetParam();
    EXPECT_EQ(rule("1"), 1000);
    EXPECT_EQ(rule("30"), 30000);
    EXPECT_EQ(rule("60"), 60000);
    EXPECT_EQ(rule("007"), 7000);
    EXPECT_EQ(rule("2147483"), 2147483000);
    EXPECT_EQ(rule("0002147483"), 2147483000);
}

TEST_P(SecondsFields, EverythingElseIsRefused)
{
    const SecondsRule rule = GetParam();
    for (const char* text : {"",    "0",   "000", "-1",     "+5",  "-0.5", "2147484", "99999999999999999999",
                             "abc", "5 ",  " 5",  "5\t",    "1.5", ".25",  "1.",      "0.001",
                             "1.0", "1e3", "５",  "６０ａ", "60a", "a60"}) {
        EXPECT_FALSE(rule(text).has_value()) << '"' << text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(TimeoutAndTimer, SecondsFields, ::testing::Values(&TimeoutMilliseconds, &TimerMilliseconds));

TEST(FlagFields, OnlyAStoredOneSetsTheFlag)
{
    for (const auto rule : {&KidouValue, &LoginValue, &RestartOption}) {
        EXPECT_EQ(rule("1"), 1);
        EXPECT_EQ(rule("01"), 1);
        for (const char* text : {"", "0", "2", "10", "-1", " 1", "1 ", "true", "１"}) {
            EXPECT_EQ(rule(text), 0) << '"' << text << '"';
        }
    }
}

} // namespace
