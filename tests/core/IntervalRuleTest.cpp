// SPDX-License-Identifier: MIT
#include "monitor/IntervalRule.h"

#include <gtest/gtest.h>

namespace {

TEST(IntervalRule, WholeSecondsBecomeMilliseconds)
{
    EXPECT_EQ(IntervalMilliseconds("1"), 1000);
    EXPECT_EQ(IntervalMilliseconds("30"), 30000);
    EXPECT_EQ(IntervalMilliseconds("007"), 7000);
    EXPECT_EQ(IntervalMilliseconds("2147483"), 2147483000);
    EXPECT_EQ(IntervalMilliseconds("0002147483"), 2147483000);
}

TEST(IntervalRule, EverythingElseIsRefused)
{
    for (const char* text : {"", "0", "000", "-1", "+5", "2147484", "99999999999999999999", "abc", "5 ", " 5", "1.5",
                             "1e3", "５"}) {
        EXPECT_FALSE(IntervalMilliseconds(text).has_value()) << '"' << text << '"';
    }
}

} // namespace
