// SPDX-License-Identifier: MIT
// The page fetch as the Windows program makes it: FetchCheckPage over the same libcurl client as on
// Linux (here with Schannel and Winsock), the Windows files and the ANSI code page, against a loopback
// server of the test's own. The copy goes to a folder whose name has a space, Japanese and "é".
#include "win/WinFetchFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Every byte value, so that nothing is converted on the way: NUL, CR, LF and bytes above 127.
std::string binaryBody(std::size_t size)
{
    std::string body(size, '\0');
    std::uint32_t state = 12345;
    for (char& c : body) {
        state = state * 1103515245U + 12345U;
        c = static_cast<char>(state >> 24);
    }
    return body;
}

using WinFetch = WinFetchFixture;

TEST_F(WinFetch, ThePageIsCopiedByteForByteAndTheRequestIsTheCheckRequest)
{
    const std::string body = binaryBody(40000);
    server.setReply("/check.htm", WinHttpReply::page(200, body));
    EXPECT_EQ(fetch(server.url("/check.htm")), FetchSucceeded);
    EXPECT_EQ(copy(), body);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/check.htm");
    EXPECT_EQ(requests[0].header("User-Agent"), "WinInet Test");
    EXPECT_EQ(requests[0].header("Cache-Control"), "no-cache");

    server.setReply("/missing", WinHttpReply::page(404, "not here"));
    EXPECT_EQ(fetch(server.url("/missing")), FetchSucceeded) << "the status is not examined";
    EXPECT_EQ(copy(), "not here");
    EXPECT_EQ(EntryCount(folder.path()), 1U) << "no temporary is left beside the copy";
}

TEST_F(WinFetch, TheReceiveTimeoutEndsASilentServer)
{
    writeCopy("earlier page");
    server.setReply(WinHttpReply::silence());
    EXPECT_EQ(fetch(server.url(), "1"), FetchUrlNotOpened);
    EXPECT_GE(elapsed, 900ms);
    EXPECT_LT(elapsed, 5s) << "a receive timeout of 1 s";
    EXPECT_EQ(copy(), "earlier page");
}

TEST_F(WinFetch, ABodyThatStallsEndsAsOutcome3WithWhatCame)
{
    const std::string body = binaryBody(5000);
    server.setReply(WinHttpReply::stallMidBody(body, 3000));
    EXPECT_EQ(fetch(server.url(), "1"), FetchReadFailed);
    EXPECT_LT(elapsed, 5s);
    EXPECT_EQ(copy(), body.substr(0, 3000));
}

TEST_F(WinFetch, ARefusedConnectionIsOutcome2)
{
    const std::string url = server.url();
    server.stop();
    EXPECT_EQ(fetch(url, "2"), FetchUrlNotOpened);
    EXPECT_LT(elapsed, 5s);
    EXPECT_EQ(copy(), "") << "a missing copy is created empty";
}

TEST_F(WinFetch, AGivenProxyCarriesTheRequest)
{
    server.setReply(WinHttpReply::page(200, "from the proxy"));
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/check.htm", "2", " 127.0.0.1:" + std::to_string(server.port())),
              FetchSucceeded);
    EXPECT_EQ(copy(), "from the proxy");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].target, "http://sentrybell-test.invalid/check.htm");
}

} // namespace
