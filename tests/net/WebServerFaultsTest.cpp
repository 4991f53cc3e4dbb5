// SPDX-License-Identifier: MIT
// Web servers and proxies that misbehave, met by the running watchdog over the real adapters. Each
// fault must end as the failure it is (caption, log line, alert line), keep the earlier page copy or
// what came of the page, and leave the watchdog checking: the next check is due one interval after
// the faulty one, by the fake clock, and runs then.
#include "RealNetwork.h"
#include "fakes/RunningWatchdog.h"
#include "monitor/StatusTexts.h"
#include "support/ClosedPort.h"
#include "support/LoopbackHttpServer.h"
#include "support/RealDisk.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

const std::string Stamp = "2026/12/07 09:05:03";
const std::string HealthyPage = "<html>healthy</html>";

class WebServerFaults : public ::testing::Test
{
protected:
    explicit WebServerFaults(CurlFetchLimits limits = {}) : w(limits)
    {
        w.form.txtUrl.Text = web.url("/check.htm");
        WriteFile(w.copyPath(), "earlier page", std::filesystem::perms(0644));
    }

    // One check against the fault, which must fail with the given log text and alert suffix.
    void expectFailure(const std::string& logText, const std::string& alertSuffix)
    {
        ASSERT_TRUE(w.tick()) << "a check was due";
        EXPECT_EQ(w.form.Caption(), ReceptionErrorCaption);
        EXPECT_EQ(w.tray.tip, ReceptionErrorCaption);
        EXPECT_EQ(w.form.errCount, 1);
        EXPECT_EQ(w.lines(w.log()), Lines{Stamp + logText});
        EXPECT_EQ(w.lines(w.form.errReport), Lines{Stamp + "\t1" + alertSuffix});
        EXPECT_TRUE(w.iisresetCalls().empty());
        EXPECT_TRUE(w.mailReports.empty());
        EXPECT_TRUE(std::filesystem::exists(w.copyPath()));
        EXPECT_FALSE(std::filesystem::exists(w.copyPath() + ".part")) << "no temporary is left behind";
    }

    // The server is healthy again (and the operator has put back the page's address and proxy): the
    // next check comes one interval after the faulty one ended, reaches the server and succeeds.
    void expectTheNextCheckRunsOnTime()
    {
        const auto faultEnded = w.clock.steadyNow();
        ASSERT_TRUE(w.form.Timer1.Enabled());
        ASSERT_EQ(w.timer.dueAt(), faultEnded + std::chrono::milliseconds(w.IntervalMs));

        web.setReply(HttpReply::page(200, HealthyPage));
        w.form.txtUrl.Text = web.url("/check.htm");
        w.form.txtProxy.Text = "";
        const std::size_t requestsBefore = web.requests().size();
        ASSERT_TRUE(w.tick());
        EXPECT_EQ(w.clock.steadyNow(), faultEnded + std::chrono::milliseconds(w.IntervalMs));
        EXPECT_EQ(web.requests().size(), requestsBefore + 1);
        EXPECT_EQ(w.form.Caption(), Stamp + ReadNormallySuffix);
        EXPECT_EQ(w.form.errCount, 0);
        EXPECT_EQ(w.copy(), HealthyPage);
        EXPECT_EQ(w.lines(w.log()).size(), 1U) << "a success is not logged";
        EXPECT_EQ(w.timer.dueAt(), w.clock.steadyNow() + std::chrono::milliseconds(w.IntervalMs));
    }

    double secondsOf(const std::function<void()>& action)
    {
        const auto start = std::chrono::steady_clock::now();
        action();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    LoopbackHttpServer web;
    RunningWatchdog<RealDisk, RealNetwork> w;
};

const std::string UrlError = "ＵＲＬ指定エラー";
const std::string UrlErrorSuffix = "回目　ＵＲＬ指定エラー";
const std::string ReadError = "受信エラー";
const std::string ReadErrorSuffix = "回目　受信エラー";

TEST_F(WebServerFaults, AServerThatRefusesTheConnection)
{
    ClosedPort refusing;
    w.form.txtUrl.Text = "http://" + refusing.address() + "/check.htm";
    expectFailure(UrlError, UrlErrorSuffix);
    EXPECT_EQ(w.copy(), "earlier page");
    expectTheNextCheckRunsOnTime();
}

TEST_F(WebServerFaults, AServerThatResetsBeforeAnswering)
{
    web.setReply(HttpReply::reset());
    expectFailure(UrlError, UrlErrorSuffix);
    EXPECT_EQ(w.copy(), "earlier page");
    EXPECT_EQ(web.requests().size(), 1U);
    expectTheNextCheckRunsOnTime();
}

TEST_F(WebServerFaults, AServerThatResetsInMidBody)
{
    const std::string body(10000, 'r');
    web.setReply(HttpReply::resetMidBody(body, 3000));
    expectFailure(ReadError, ReadErrorSuffix);
    EXPECT_LE(w.copy().size(), 3000U);
    EXPECT_EQ(w.copy(), body.substr(0, w.copy().size()));
    expectTheNextCheckRunsOnTime();
}

TEST_F(WebServerFaults, AServerThatStallsBeforeTheHeaders)
{
    web.setReply(HttpReply::silence());
    EXPECT_LT(secondsOf([&] { expectFailure(UrlError, UrlErrorSuffix); }), 10.0) << "the receive timeout is 1 s";
    EXPECT_EQ(w.copy(), "earlier page");
    expectTheNextCheckRunsOnTime();
}

TEST_F(WebServerFaults, AServerThatStallsInMidBodyLeavesWhatCame)
{
    const std::string body(10000, 's');
    web.setReply(HttpReply::stallMidBody(body, 3000));
    EXPECT_LT(secondsOf([&] { expectFailure(ReadError, ReadErrorSuffix); }), 10.0);
    EXPECT_EQ(w.copy(), body.substr(0, 3000));
    expectTheNextCheckRunsOnTime();
}

TEST_F(WebServerFaults, AnUnresolvableHost)
{
    w.form.txtUrl.Text = "http://sentrybell-test.invalid/check.htm";
    expectFailure(UrlError, UrlErrorSuffix);
    EXPECT_EQ(w.copy(), "earlier page");
    expectTheNextCheckRunsOnTime();
}

TEST_F(WebServerFaults, AProxyThatRefusesTheConnection)
{
    // The page is on another machine: a page of this machine never goes through a proxy.
    ClosedPort refusing;
    w.form.txtUrl.Text = "http://sentrybell-test.invalid/check.htm";
    w.form.txtProxy.Text = refusing.address();
    expectFailure(UrlError, UrlErrorSuffix);
    EXPECT_EQ(w.copy(), "earlier page");
    expectTheNextCheckRunsOnTime();
}

TEST_F(WebServerFaults, AProxyThatResetsTheConnection)
{
    // The loopback server plays the proxy and resets; the page's own host does not exist.
    LoopbackHttpServer proxy;
    proxy.setReply(HttpReply::reset());
    w.form.txtUrl.Text = "http://sentrybell-test.invalid/check.htm";
    w.form.txtProxy.Text = "127.0.0.1:" + std::to_string(proxy.port());
    expectFailure(UrlError, UrlErrorSuffix);
    ASSERT_EQ(proxy.requests().size(), 1U);
    EXPECT_EQ(proxy.requests()[0].target, "http://sentrybell-test.invalid/check.htm");
    expectTheNextCheckRunsOnTime();
}

// Faults that only the bounds of the whole fetch end: they are set small here, so that the test is
// quick; the program's own are ten times the receive timeout (at least one minute, at most ten) and
// 1 GiB.
class UnendingServers : public WebServerFaults
{
protected:
    static CurlFetchLimits smallLimits()
    {
        CurlFetchLimits limits;
        limits.wholeFetchCap = 3s;
        limits.maxBodyBytes = 1U << 20;
        return limits;
    }
    UnendingServers() : WebServerFaults(smallLimits()) { w.form.txtTimeout.Text = "2"; }
};

TEST_F(UnendingServers, AServerThatSendsWithoutEndIsCutAtTheBodyBound)
{
    web.setReply(HttpReply::endlessBody("0123456789abcdef"));
    expectFailure(ReadError, ReadErrorSuffix);
    const std::string copied = w.copy();
    ASSERT_EQ(copied.size(), std::size_t{1} << 20);
    EXPECT_EQ(copied.substr(0, 32), "0123456789abcdef0123456789abcdef");
    expectTheNextCheckRunsOnTime();
}

TEST_F(UnendingServers, HeadersAtOneByteASecondAreCutAtTheWholeFetchBound)
{
    // Each byte comes well within the receive timeout of 2 s, so only the bound of the whole fetch
    // (3 s here) ends the wait.
    web.setReply(HttpReply::dripHeaders(1s));
    const double seconds = secondsOf([&] { expectFailure(UrlError, UrlErrorSuffix); });
    EXPECT_GE(seconds, 2.9);
    EXPECT_LT(seconds, 15.0);
    EXPECT_EQ(w.copy(), "earlier page");
    expectTheNextCheckRunsOnTime();
}

} // namespace
