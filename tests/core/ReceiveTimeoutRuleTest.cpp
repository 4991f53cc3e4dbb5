// SPDX-License-Identifier: MIT
#include "monitor/ReceiveTimeoutRule.h"

#include <gtest/gtest.h>

namespace {

TEST(ReceiveTimeoutRule, DecimalSecondsBecomeMilliseconds)
{
    EXPECT_EQ(ReceiveTimeoutMilliseconds("1"), 1000);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("60"), 60000);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("007"), 7000);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("1.5"), 1500);
    EXPECT_EQ(ReceiveTimeoutMilliseconds(".25"), 250);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("0.001"), 1);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("2147483.647"), 2147483647);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("0002147483.6470000"), 2147483647);
}

TEST(ReceiveTimeoutRule, RoundsHalfToEvenMillisecond)
{
    EXPECT_EQ(ReceiveTimeoutMilliseconds("0.0015"), 2);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("0.0025"), 2);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("0.00250"), 2);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("0.00251"), 3);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("0.0024999"), 2);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("1.0009"), 1001);
    EXPECT_EQ(ReceiveTimeoutMilliseconds("2147483.6465"), 2147483646);
}

TEST(ReceiveTimeoutRule, EverythingElseIsRefused)
{
    for (const char* text : {"",
                             "abc",
                             "0",
                             "000",
                             "0.0",
                             "0.0005",
                             "-5",
                             "+5",
                             "-0.5",
                             "1.",
                             ".",
                             "1..5",
                             "1.2.3",
                             "1e3",
                             " 5",
                             "5 ",
                             "5\t",
                             "５",
                             "2147483.648",
                             "2147483.6475",
                             "2147484",
                             "99999999999999999999999"}) {
        EXPECT_FALSE(ReceiveTimeoutMilliseconds(text).has_value()) << '"' << text << '"';
    }
}

} // namespace
