// SPDX-License-Identifier: MIT
// A fetch always ends: the receive timeout bounds each wait, the whole fetch and the body have bounds
// of their own, and a slow but steady page within them passes.
#include "FetchFixture.h"

namespace {

using FetchBounds = FetchFixture;

TEST_F(FetchBounds, ASlowButSteadyBodyPassesThoughItTakesLongerThanTheTimeout)
{
    const std::string body = binaryBody(30);
    server.setReply(HttpReply::dripBody(body, 2, std::chrono::milliseconds(100)));
    EXPECT_EQ(fetch(server.url(), "1"), FetchSucceeded);
    EXPECT_GT(seconds(), 1.4); // fifteen pauses: half as long again as the receive timeout
    EXPECT_TRUE(copy() == body);
}

TEST_F(FetchBounds, DrippedHeadersAreCutAtTheWholeFetchBound)
{
    limits.wholeFetchCap = std::chrono::milliseconds(1500);
    server.setReply(HttpReply::dripHeaders(std::chrono::milliseconds(50)));
    EXPECT_EQ(fetch(server.url(), "1"), FetchUrlNotOpened);
    EXPECT_GE(seconds(), 1.4); // the receive timeout of 1 s never ran out: bytes kept coming
    EXPECT_LT(seconds(), 5.0);
}

TEST_F(FetchBounds, ADrippedBodyIsCutAtTheWholeFetchBoundAndKeepsWhatCame)
{
    limits.wholeFetchCap = std::chrono::milliseconds(1500);
    const std::string body = binaryBody(1000);
    server.setReply(HttpReply::dripBody(body, 1, std::chrono::milliseconds(50)));
    EXPECT_EQ(fetch(server.url(), "1"), FetchReadFailed);
    EXPECT_GE(seconds(), 1.4);
    EXPECT_LT(seconds(), 5.0);
    const auto copied = copy();
    ASSERT_TRUE(copied);
    EXPECT_GT(copied->size(), 5U);
    EXPECT_LT(copied->size(), body.size());
    EXPECT_TRUE(*copied == body.substr(0, copied->size()));
}

TEST_F(FetchBounds, AFetchThatWaitsCallsItsWaitingHookEverySecondUntilItsBoundEndsIt)
{
    // The service's keepalive to systemd rides on this hook: a check that waits for a silent server
    // within its bounds must not look like a hung watchdog.
    int calls = 0;
    whileWaiting = [&calls] { ++calls; };
    server.setReply(HttpReply::silence());
    EXPECT_EQ(fetch(server.url(), "3"), FetchUrlNotOpened);
    EXPECT_GE(calls, 2) << "over a wait of three seconds";
}

TEST(WholeFetchBound, TenTimesTheReceiveTimeoutAtLeastAMinuteAtMostTen)
{
    using std::chrono::seconds;
    const CurlFetchLimits limits;
    // At one second, ten would cut a healthy page that streams for eleven, and a restart would follow.
    for (auto [timeout, bound] :
         {std::pair{1, 60}, {6, 60}, {7, 70}, {30, 300}, {60, 600}, {61, 600}, {2147483, 600}}) {
        EXPECT_EQ(WholeFetchBound(seconds(timeout), limits), seconds(bound)) << timeout;
    }
}

TEST_F(FetchBounds, AnEndlessBodyIsCutAtTheCapAndTheCopyHoldsTheCap)
{
    limits.maxBodyBytes = 100000;
    server.setReply(HttpReply::endlessBody("0123456789abcdef"));
    EXPECT_EQ(fetch(server.url()), FetchReadFailed);
    std::string expected;
    while (expected.size() < 100000) {
        expected += "0123456789abcdef";
    }
    expected.resize(100000);
    EXPECT_TRUE(copy() == expected);
}

TEST_F(FetchBounds, ABodyOfExactlyTheCapPasses)
{
    limits.maxBodyBytes = 1000;
    const std::string body = binaryBody(1000);
    server.setReply(HttpReply::page(200, body));
    EXPECT_EQ(fetch(server.url()), FetchSucceeded);
    EXPECT_TRUE(copy() == body);

    server.setReply(HttpReply::page(200, body + "!"));
    EXPECT_EQ(fetch(server.url()), FetchReadFailed);
    EXPECT_TRUE(copy() == body);
}

} // namespace
