// SPDX-License-Identifier: MIT
#include "monitor/FetchCheckPage.h"

#include "fakes/FormHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::Each;
using ::testing::ElementsAre;

class FetchCheckPageTest : public ::testing::Test
{
protected:
    FetchCheckPageTest()
    {
        h.files.addFolder("/srv");
        h.files.addFolder("/srv/save");
        f.txtUrl.Text = "http://web.example/check.htm";
        f.txtTimeout.Text = "5";
        f.txtParaPath.Text = "/srv/save";
    }

    const std::string copyPath = "/srv/save/check.htm";
    FormHarness h;
    Form1& f = h.form;
    FakeInternetClient& net = h.internet;
};

TEST_F(FetchCheckPageTest, ReadsTheWholeBodyInPiecesOfAtMost1024Bytes)
{
    net.body = std::string(40000, 'x') + "end";
    net.servePiece = 5000;

    EXPECT_EQ(FetchCheckPage(f), FetchSucceeded);
    EXPECT_EQ(h.files.files.at(copyPath), net.body);
    const auto reads = net.eventsStarting("read ");
    EXPECT_THAT(reads, Each(std::string("read 1024")));
    EXPECT_EQ(reads.size(), 40003 / 1024 + 2); // 40 pieces, then the empty read that ends the body
}

TEST_F(FetchCheckPageTest, OpensTheSessionWithAgentTimeoutAndUrlInOrderAndClosesBoth)
{
    f.txtTimeout.Text = "25";
    net.body = "ok";

    EXPECT_EQ(FetchCheckPage(f), FetchSucceeded);
    EXPECT_THAT(net.events, ElementsAre("session WinInet Test|", "timeout 25000", "open http://web.example/check.htm",
                                        "read 1024", "read 1024", "close request", "close session"));
}

TEST_F(FetchCheckPageTest, ProxyIsTrimmedOfSpacesOnly)
{
    f.txtProxy.Text = "  proxy.local:8080 ";
    FetchCheckPage(f);
    f.txtProxy.Text = "    ";
    FetchCheckPage(f);
    f.txtProxy.Text = "\tproxy:1\t";
    FetchCheckPage(f);
    EXPECT_THAT(net.eventsStarting("session"),
                ElementsAre("session WinInet Test|proxy.local:8080", "session WinInet Test|",
                            "session WinInet Test|\tproxy:1\t"));
}

TEST_F(FetchCheckPageTest, UrlIsPassedUnchanged)
{
    f.txtUrl.Text = " http://web.example/a b?c=d ";
    FetchCheckPage(f);
    EXPECT_THAT(net.eventsStarting("open"), ElementsAre("open  http://web.example/a b?c=d "));
}

TEST_F(FetchCheckPageTest, NoSessionIsOutcome1)
{
    net.failSession = true;
    EXPECT_EQ(FetchCheckPage(f), FetchNoSession);
    EXPECT_THAT(net.events, ElementsAre("session WinInet Test|"));
}

TEST_F(FetchCheckPageTest, UnusableTimeoutTextIsOutcome4WithoutARequest)
{
    for (const char* text : {"", "abc", "0", "-5", "1e3", "3000000", "2.5"}) {
        net.events.clear();
        f.txtTimeout.Text = text;
        EXPECT_EQ(FetchCheckPage(f), FetchTimeoutNotSet) << text;
        EXPECT_TRUE(net.eventsStarting("open").empty()) << text;
        EXPECT_TRUE(net.eventsStarting("timeout").empty()) << text;
        EXPECT_EQ(net.sessionsOpen, 0);
    }
}

TEST_F(FetchCheckPageTest, RefusedTimeoutIsOutcome4WithoutARequest)
{
    net.refuseTimeout = true;
    EXPECT_EQ(FetchCheckPage(f), FetchTimeoutNotSet);
    EXPECT_THAT(net.events, ElementsAre("session WinInet Test|", "timeout 5000", "close session"));
}

TEST_F(FetchCheckPageTest, FailedOpenIsOutcome2)
{
    net.failOpen = true;
    EXPECT_EQ(FetchCheckPage(f), FetchUrlNotOpened);
    EXPECT_EQ(net.sessionsOpen, 0);
}

TEST_F(FetchCheckPageTest, FailedReadIsOutcome3AndTheCopyHoldsWhatCameBefore)
{
    h.files.files[copyPath] = "earlier page";
    net.body = std::string(3000, 'p');
    net.failAfterBody = true;

    EXPECT_EQ(FetchCheckPage(f), FetchReadFailed);
    EXPECT_EQ(h.files.files.at(copyPath), net.body);
    EXPECT_EQ(net.requestsOpen, 0);
    EXPECT_EQ(net.sessionsOpen, 0);
}

TEST_F(FetchCheckPageTest, EmptyBodyGivesAnEmptyCopy)
{
    h.files.files[copyPath] = "earlier page";
    EXPECT_EQ(FetchCheckPage(f), FetchSucceeded);
    EXPECT_EQ(h.files.files.at(copyPath), "");
}

TEST_F(FetchCheckPageTest, WithoutABodyAMissingCopyIsCreatedEmptyAndAnExistingOneKept)
{
    net.failOpen = true;
    EXPECT_EQ(FetchCheckPage(f), FetchUrlNotOpened);
    EXPECT_EQ(h.files.files.at(copyPath), "");

    h.files.files[copyPath] = "earlier page";
    for (auto setUp :
         {+[](FakeInternetClient& n) { n.failOpen = true; }, +[](FakeInternetClient& n) { n.failSession = true; },
          +[](FakeInternetClient& n) { n.refuseTimeout = true; }}) {
        net.failOpen = net.failSession = net.refuseTimeout = false;
        setUp(net);
        EXPECT_NE(FetchCheckPage(f), FetchSucceeded);
        EXPECT_EQ(h.files.files.at(copyPath), "earlier page");
    }
}

TEST_F(FetchCheckPageTest, CopyPathAddsOneSeparatorAndRemovesNone)
{
    h.files.addFolder("/srv/save/");
    f.txtParaPath.Text = "/srv/save/";
    net.body = "page";
    FetchCheckPage(f);
    EXPECT_EQ(h.files.files.at("/srv/save//check.htm"), "page");
    EXPECT_EQ(h.files.files.count(copyPath), 0U);
}

TEST_F(FetchCheckPageTest, UnwritableOrMissingSaveFolderChangesNothingButTheCopy)
{
    net.body = "page";
    f.txtParaPath.Text = "/srv/missing";
    EXPECT_EQ(FetchCheckPage(f), FetchSucceeded);
    EXPECT_EQ(h.files.files.count("/srv/missing/check.htm"), 0U);

    f.txtParaPath.Text = "/srv/save";
    h.files.files[copyPath] = "earlier page";
    h.files.failWrites = true;
    EXPECT_EQ(FetchCheckPage(f), FetchSucceeded);
    net.failAfterBody = true;
    EXPECT_EQ(FetchCheckPage(f), FetchReadFailed);
    net.failOpen = true;
    EXPECT_EQ(FetchCheckPage(f), FetchUrlNotOpened);
    EXPECT_EQ(h.files.files.at(copyPath), "earlier page");
}

TEST_F(FetchCheckPageTest, EmptySaveFolderWritesNoCopyAnywhere)
{
    f.txtParaPath.Text = "";
    net.body = "page";
    EXPECT_EQ(FetchCheckPage(f), FetchSucceeded);
    net.failOpen = true;
    EXPECT_EQ(FetchCheckPage(f), FetchUrlNotOpened);
    EXPECT_TRUE(h.files.files.empty());
}

} // namespace
