// SPDX-License-Identifier: MIT
// What the server sees of a fetch: the request line and headers, the proxy, redirects, and that an
// unusable timeout sends nothing.
#include "FetchFixture.h"
#include "support/ChildProcess.h"
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <gmock/gmock.h>

namespace {

// An https server on loopback: openssl's s_server, which answers GET /<name> with the file <name>, a
// whole HTTP response. Its certificate, for 127.0.0.1, is made when it starts.
class HttpsServer
{
public:
    HttpsServer()
    {
        std::filesystem::create_directory(m_folder / "www");
        const CommandResult made =
            RunCommand({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                        "-nodes", "-keyout", m_folder / "key.pem", "-out", certificate(), "-days", "2", "-subj",
                        "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
        if (made.exitCode != 0) {
            throw std::runtime_error("openssl req: " + made.errors);
        }
        ChildProcess::Options options;
        options.argv = {"openssl", "s_server",           "-accept", "127.0.0.1:0", "-cert", certificate(),
                        "-key",    m_folder / "key.pem", "-HTTP"};
        options.standardOutput = m_folder / "out";
        options.workingFolder = m_folder / "www";
        m_server = std::make_unique<ChildProcess>(options);
        // It says "ACCEPT 127.0.0.1:<port>" once it listens.
        const std::string prefix = "ACCEPT 127.0.0.1:";
        if (!WaitUntil([&] { return ReadWholeFile(m_folder / "out").find(prefix) != std::string::npos; },
                       std::chrono::seconds(30))) {
            throw std::runtime_error("openssl s_server did not start");
        }
        const std::string out = ReadWholeFile(m_folder / "out");
        m_port = std::stoi(out.substr(out.find(prefix) + prefix.size()));
    }

    std::string certificate() const { return m_folder / "cert.pem"; }
    std::string url(const std::string& name) const
    {
        return "https://127.0.0.1:" + std::to_string(m_port) + "/" + name;
    }
    void setReply(const std::string& name, const std::string& response) const
    {
        WriteFile(m_folder / "www/" + name, response, std::filesystem::perms(0644));
    }

private:
    TemporaryFolder m_folder{"sentrybell-https"};
    std::unique_ptr<ChildProcess> m_server;
    int m_port = 0;
};

std::string redirectTo(const std::string& location)
{
    return "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n";
}

using FetchRequest = FetchFixture;

TEST_F(FetchRequest, SendsTheAgentAndAsksCachesToRevalidate)
{
    server.setReply(HttpReply::page(200, "ok"));
    ASSERT_EQ(fetch(server.url("/check.htm?x=1")), FetchSucceeded);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/check.htm?x=1");
    EXPECT_EQ(requests[0].header("User-Agent"), "WinInet Test");
    EXPECT_EQ(requests[0].header("Cache-Control"), "no-cache");
    EXPECT_EQ(requests[0].header("Pragma"), "no-cache");
}

TEST_F(FetchRequest, SchemeIsMatchedWithoutRegardToCase)
{
    server.setReply(HttpReply::page(200, "ok"));
    EXPECT_EQ(fetch("HTTP://127.0.0.1:" + std::to_string(server.port()) + "/check.htm"), FetchSucceeded);
    EXPECT_EQ(copy(), "ok");
}

TEST_F(FetchRequest, AGivenProxyIsTrimmedAndCarriesTheRequest)
{
    // The server plays the proxy; the page's own host does not exist, so only the proxy can answer.
    server.setReply(HttpReply::page(200, "from the proxy"));
    EXPECT_EQ(
        fetch("http://sentrybell-test.invalid/check.htm", "2", "  127.0.0.1:" + std::to_string(server.port()) + " "),
        FetchSucceeded);
    EXPECT_EQ(copy(), "from the proxy");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].target, "http://sentrybell-test.invalid/check.htm");
    EXPECT_EQ(requests[0].header("User-Agent"), "WinInet Test");
}

TEST_F(FetchRequest, NoProxyCarriesAPageOfThisMachine)
{
    // The fixture's server is the page; a second one plays the proxy (typed, or the environment's).
    LoopbackHttpServer proxy;
    proxy.setReply(HttpReply::page(200, "from the proxy"));
    server.setReply(HttpReply::page(200, "from the page"));
    const std::string port = std::to_string(server.port());
    const std::string typed = " 127.0.0.1:" + std::to_string(proxy.port()) + " ";
    for (const std::string& url : {server.url("/check.htm"), "http://localhost:" + port + "/check.htm",
                                   "http://LOCALHOST:" + port + "/", "http://127.1:" + port + "/"}) {
        EXPECT_EQ(fetch(url, "2", typed), FetchSucceeded) << url;
        EXPECT_EQ(copy(), "from the page") << url;
    }
    ::setenv("http_proxy", proxy.url().c_str(), 1);
    EXPECT_EQ(fetch(server.url("/environment"), "2", ""), FetchSucceeded);
    EXPECT_EQ(copy(), "from the page") << "the environment without a bypass list of its own";
    // A host of another machine goes to the proxy, typed or from the environment.
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/environment", "2", ""), FetchSucceeded);
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/typed", "2", typed), FetchSucceeded);
    EXPECT_EQ(copy(), "from the proxy");

    std::vector<std::string> atProxy;
    for (const auto& request : proxy.requests()) {
        atProxy.push_back(request.target);
    }
    EXPECT_THAT(atProxy, testing::ElementsAre("http://sentrybell-test.invalid/environment",
                                              "http://sentrybell-test.invalid/typed"));
    EXPECT_EQ(server.requests().size(), 5U);
}

TEST_F(FetchRequest, AGivenProxyOverridesTheEnvironmentsBypassList)
{
    server.setReply(HttpReply::page(200, "from the proxy"));
    ::setenv("no_proxy", "*", 1);
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/check.htm", "2", "127.0.0.1:" + std::to_string(server.port())),
              FetchSucceeded);
    EXPECT_EQ(server.requests().size(), 1U);
}

TEST_F(FetchRequest, WithoutAProxyTheEnvironmentsProxyApplies)
{
    server.setReply(HttpReply::page(200, "from the proxy"));
    ::setenv("http_proxy", server.url().c_str(), 1);
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/a", "2", "   "), FetchSucceeded);
    ::setenv("no_proxy", "sentrybell-test.invalid", 1);
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/b", "2", ""), FetchUrlNotOpened);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].target, "http://sentrybell-test.invalid/a");
}

TEST_F(FetchRequest, WithoutAProxyTheSystemProxyLookupDecides)
{
    server.setReply(HttpReply::page(200, "from the proxy"));
    const std::string proxy = "127.0.0.1:" + std::to_string(server.port());
    std::vector<std::string> asked;
    std::optional<std::string> answer = proxy;
    systemProxy = [&](const std::string& url) {
        asked.push_back(url);
        return answer;
    };
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/through", "2", "  "), FetchSucceeded);
    // Direct, although the environment names a proxy: the system's setting is the one that counts.
    ::setenv("http_proxy", server.url().c_str(), 1);
    answer = "";
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/direct", "2", ""), FetchUrlNotOpened);
    // No answer leaves the environment in charge.
    answer.reset();
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/environment", "2", ""), FetchSucceeded);
    // A proxy in the field is not the system's business.
    EXPECT_EQ(fetch("http://sentrybell-test.invalid/field", "2", proxy), FetchSucceeded);

    EXPECT_THAT(asked,
                testing::ElementsAre("http://sentrybell-test.invalid/through", "http://sentrybell-test.invalid/direct",
                                     "http://sentrybell-test.invalid/environment"));
    std::vector<std::string> targets;
    for (const auto& request : server.requests()) {
        targets.push_back(request.target);
    }
    EXPECT_THAT(targets, testing::ElementsAre("http://sentrybell-test.invalid/through",
                                              "http://sentrybell-test.invalid/environment",
                                              "http://sentrybell-test.invalid/field"));
}

TEST_F(FetchRequest, RedirectsAreFollowedToTheFinalPage)
{
    server.setReply("/old", HttpReply::redirect(301, server.url("/older")));
    server.setReply("/older", HttpReply::redirect(302, "/new"));
    server.setReply("/new", HttpReply::page(200, "new page"));
    EXPECT_EQ(fetch(server.url("/old")), FetchSucceeded);
    EXPECT_EQ(copy(), "new page");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3U);
    EXPECT_EQ(requests[2].target, "/new");
    EXPECT_EQ(requests[2].header("User-Agent"), "WinInet Test");
}

TEST_F(FetchRequest, ARedirectToASilentPageIsOutcome2)
{
    // The redirect's own headers are not the response's: the final page never answered.
    server.setReply("/old", HttpReply::redirect(302, "/silent"));
    server.setReply("/silent", HttpReply::silence());
    EXPECT_EQ(fetch(server.url("/old"), "1"), FetchUrlNotOpened);
    EXPECT_EQ(server.requests().size(), 2U);
}

TEST_F(FetchRequest, RedirectsToOtherSchemesAreRefused)
{
    writeCopy("earlier page");
    for (const std::string& location :
         {std::string("file:///etc/hostname"), "ftp://127.0.0.1:" + std::to_string(server.port()) + "/check.htm"}) {
        server.setReply("/old", HttpReply::redirect(302, location));
        EXPECT_EQ(fetch(server.url("/old")), FetchUrlNotOpened) << location;
    }
    EXPECT_EQ(copy(), "earlier page");
    EXPECT_EQ(server.requests().size(), 2U); // only the two redirecting answers
}

TEST_F(FetchRequest, RedirectsFromHttpsStayOnHttps)
{
    HttpsServer secure;
    caFile = secure.certificate();
    secure.setReply("new", "HTTP/1.0 200 OK\r\nContent-Length: 11\r\n\r\nsecure page");
    server.setReply("/plain", HttpReply::page(200, "plain page"));
    server.setReply("/up", HttpReply::redirect(302, secure.url("new")));
    secure.setReply("down", redirectTo(server.url("/plain")));
    secure.setReply("across", redirectTo(secure.url("new")));

    EXPECT_EQ(fetch(secure.url("down")), FetchUrlNotOpened) << "https to http is refused";
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(fetch(secure.url("across")), FetchSucceeded);
    EXPECT_EQ(copy(), "secure page");
    writeCopy("earlier page");
    EXPECT_EQ(fetch(server.url("/up")), FetchSucceeded) << "http to https is followed";
    EXPECT_EQ(copy(), "secure page");
}

TEST_F(FetchRequest, EndlessRedirectsEndAsOutcome2)
{
    server.setReply("/loop", HttpReply::redirect(302, "/loop"));
    EXPECT_EQ(fetch(server.url("/loop")), FetchUrlNotOpened);
    EXPECT_LE(server.requests().size(), 25U);
}

TEST_F(FetchRequest, UnusableTimeoutTextIsOutcome4AndSendsNothing)
{
    writeCopy("earlier page");
    for (const char* timeout : {"", "abc", "0", "-5"}) {
        EXPECT_EQ(fetch(server.url(), timeout), FetchTimeoutNotSet) << timeout;
    }
    EXPECT_EQ(copy(), "earlier page");
    // The server serves one connection at a time in order, so once a later request is recorded, any
    // earlier one would have been too.
    ASSERT_EQ(fetch(server.url("/after")), FetchSucceeded);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].target, "/after");
}

} // namespace
