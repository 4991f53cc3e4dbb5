// SPDX-License-Identifier: MIT
#include "net/ProxyRule.h"

#include <gtest/gtest.h>

namespace {

TEST(ProxyRule, LoopbackUrlsAreThoseOfThisMachineAsLibcurlReadsThem)
{
    for (const char* url :
         {"http://localhost/check.htm", "http://LOCALHOST:8080/x", "http://localhost./", "http://loopback/",
          "https://127.0.0.1/", "http://127.1/", "http://127.255.255.254:81/", "http://2130706433/", "http://[::1]/",
          "http://[0:0:0:0:0:0:0:1]:8080/", "http://user@127.0.0.1/"}) {
        EXPECT_TRUE(IsLoopbackUrl(url)) << url;
    }
    for (const char* url : {"http://www.example.test/", "http://localhost.example.test/",
                            "http://127.0.0.1.example.test/", "http://128.0.0.1/", "http://[::2]/", "http://10.0.0.1/",
                            "http://www.example.test/?next=http://localhost/", "localhost", ""}) {
        EXPECT_FALSE(IsLoopbackUrl(url)) << url;
    }
}

TEST(ProxyRule, AProxyWithoutAPortIsOnPort80)
{
    for (auto [typed, server] : {std::pair<const char*, const char*>{"proxy.example", "proxy.example:80"},
                                 {"  proxy.example ", "proxy.example:80"},
                                 {"proxy.example:3128", "proxy.example:3128"},
                                 {"http://proxy.example", "http://proxy.example:80"},
                                 {"HTTP://proxy.example/", "HTTP://proxy.example:80/"},
                                 {" http://proxy.example:3128 ", "http://proxy.example:3128"},
                                 {"[fd00::1]", "[fd00::1]:80"},
                                 {"[fd00::1]:3128", "[fd00::1]:3128"},
                                 {"socks5://proxy.example", "socks5://proxy.example"},
                                 {"   ", ""}}) {
        EXPECT_EQ(ProxyServerText(typed), server) << '"' << typed << '"';
    }
    EXPECT_EQ(TypedProxyFor(" proxy.example ", "http://www.example.test/"), "proxy.example:80");
    EXPECT_EQ(TypedProxyFor("proxy.example", "http://localhost/check.htm"), "") << "direct";
}

} // namespace
