// SPDX-License-Identifier: MIT
// What reaches the page copy, and which outcome a fetch gives, for answers of every kind.
#include "FetchFixture.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using ::testing::ElementsAre;

using FetchContent = FetchFixture;

TEST_F(FetchContent, ErrorStatusPagesPassAndTheCopyIsTheirBody)
{
    for (int status : {200, 404, 500}) {
        const std::string body = "<html>status " + std::to_string(status) + "</html>\r\n";
        server.setReply(HttpReply::page(status, body));
        EXPECT_EQ(fetch(server.url("/check.htm")), FetchSucceeded) << status;
        EXPECT_EQ(copy(), body) << status;
    }
}

TEST_F(FetchContent, EmptyBodyGivesAnEmptyCopy)
{
    writeCopy("earlier page");
    server.setReply(HttpReply::page(200, ""));
    EXPECT_EQ(fetch(server.url()), FetchSucceeded);
    EXPECT_EQ(copy(), "");
}

TEST_F(FetchContent, BodiesAreCopiedByteForByte)
{
    for (std::size_t size : {1000U, 32767U, 40000U}) {
        const std::string body = binaryBody(size);
        server.setReply(HttpReply::page(200, body));
        EXPECT_EQ(fetch(server.url()), FetchSucceeded) << size;
        const auto copied = copy();
        ASSERT_TRUE(copied) << size;
        EXPECT_EQ(copied->size(), size);
        EXPECT_TRUE(*copied == body) << size;
    }
}

TEST_F(FetchContent, A64MiBPageIsCopiedWholeAndNoTemporaryIsLeft)
{
    const std::string body = binaryBody(std::size_t{64} << 20);
    server.setReply(HttpReply::page(200, body));
    EXPECT_EQ(fetch(server.url(), "10"), FetchSucceeded);
    const auto copied = copy();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->size(), body.size());
    EXPECT_TRUE(*copied == body);
    EXPECT_THAT(saveFolderEntries(), ElementsAre("check.htm"));
}

TEST_F(FetchContent, StallBeforeTheHeadersIsOutcome2WithinTheReceiveTimeout)
{
    writeCopy("earlier page");
    server.setReply(HttpReply::silence());
    EXPECT_EQ(fetch(server.url(), "1"), FetchUrlNotOpened);
    EXPECT_GE(seconds(), 0.95);
    EXPECT_LT(seconds(), 3.0);
    EXPECT_EQ(copy(), "earlier page");
    EXPECT_EQ(server.requests().size(), 1U);
}

TEST_F(FetchContent, StallInMidBodyIsOutcome3AndTheCopyHoldsWhatCame)
{
    const std::string body = binaryBody(10000);
    server.setReply(HttpReply::stallMidBody(body, 3000));
    EXPECT_EQ(fetch(server.url(), "1"), FetchReadFailed);
    EXPECT_LT(seconds(), 3.0);
    EXPECT_TRUE(copy() == body.substr(0, 3000));
    EXPECT_THAT(saveFolderEntries(), ElementsAre("check.htm"));
}

TEST_F(FetchContent, SilenceRightAfterTheHeadersIsOutcome3WithAnEmptyCopy)
{
    writeCopy("earlier page");
    server.setReply(HttpReply::stallMidBody("never sent", 0));
    EXPECT_EQ(fetch(server.url(), "1"), FetchReadFailed);
    EXPECT_EQ(copy(), "");
}

TEST_F(FetchContent, ResetInMidBodyIsOutcome3)
{
    const std::string body = binaryBody(10000);
    server.setReply(HttpReply::resetMidBody(body, 3000));
    EXPECT_EQ(fetch(server.url()), FetchReadFailed);
    const auto copied = copy();
    ASSERT_TRUE(copied);
    EXPECT_LE(copied->size(), 3000U);
    EXPECT_TRUE(*copied == body.substr(0, copied->size()));
}

TEST_F(FetchContent, RefusedUnresolvedEmptyAndNonHttpUrlsAreOutcome2AndKeepTheEarlierCopy)
{
    // A port that is bound but not listening refuses every connection.
    const int bound = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(bound, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(bound, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string refused = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/check.htm";

    const std::string hostPort = "127.0.0.1:" + std::to_string(server.port());
    writeCopy("earlier page");
    for (const std::string& url :
         {refused, std::string("http://sentrybell-test.invalid/check.htm"), std::string(""), std::string("http://"),
          std::string("file:///etc/hostname"), "ftp://" + hostPort + "/check.htm", "gopher://" + hostPort + "/",
          hostPort + "/check.htm"}) {
        EXPECT_EQ(fetch(url), FetchUrlNotOpened) << url;
        EXPECT_EQ(copy(), "earlier page") << url;
    }
    ::close(bound);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(FetchContent, FailedOpenCreatesAMissingCopyEmpty)
{
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/"), FetchUrlNotOpened);
    EXPECT_EQ(copy(), "");
}

TEST_F(FetchContent, UnwritableSaveFolderDoesNotChangeTheOutcome)
{
    writeCopy("a regular file");
    server.setReply(HttpReply::page(200, "page"));
    saveFolder = copyPath(); // a folder path under a regular file cannot hold anything
    EXPECT_EQ(fetch(server.url()), FetchSucceeded);
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/"), FetchUrlNotOpened);
    saveFolder = folder.path();
    EXPECT_EQ(copy(), "a regular file");
}

} // namespace
