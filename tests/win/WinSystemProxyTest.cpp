// SPDX-License-Identifier: MIT
// The system's proxy for a fetch whose proxy field is empty: the manual setting's rules, and the
// setting itself as the current user's Internet options hold it (read back through
// WinHttpGetIEProxyConfigForCurrentUser from Wine's registry), carrying a real fetch.
#include "win/WinSystemProxy.h"

#include "win/ManualProxy.h"
#include "win/WinFetchFixture.h"

#include <cstring>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(ManualProxy, OneServerForEverySchemeTakesPort80WhenItNamesNone)
{
    EXPECT_EQ(ManualProxyFor("proxy.example:8080", "", "http://www.example.test/check.htm"), "proxy.example:8080");
    EXPECT_EQ(ManualProxyFor("proxy.example:8080", "", "https://www.example.test/"), "proxy.example:8080");
    EXPECT_EQ(ManualProxyFor("proxy.example", "", "http://www.example.test/"), "proxy.example:80");
    EXPECT_EQ(ManualProxyFor("http://proxy.example", "", "http://www.example.test/"), "http://proxy.example:80");
    EXPECT_EQ(ManualProxyFor("[fd00::1]", "", "http://www.example.test/"), "[fd00::1]:80");
    EXPECT_EQ(ManualProxyFor("[fd00::1]:3128", "", "http://www.example.test/"), "[fd00::1]:3128");
    EXPECT_EQ(ManualProxyFor("", "", "http://www.example.test/"), "") << "no proxy set: direct";
}

TEST(ManualProxy, SchemeEntriesPickTheServerOfTheUrlsScheme)
{
    const std::string list = "ftp=ftp.proxy:21;http=web.proxy:8080; https=secure.proxy:8443 socks=socks.proxy";
    EXPECT_EQ(ManualProxyFor(list, "", "http://www.example.test/"), "web.proxy:8080");
    EXPECT_EQ(ManualProxyFor(list, "", "HTTPS://www.example.test/"), "secure.proxy:8443");
    EXPECT_EQ(ManualProxyFor("HTTP=web.proxy:8080", "", "http://www.example.test/"), "web.proxy:8080");
    EXPECT_EQ(ManualProxyFor("http=web.proxy:8080;socks=socks.proxy", "", "https://www.example.test/"),
              "socks4://socks.proxy:1080");
    EXPECT_EQ(ManualProxyFor("http=web.proxy:8080", "", "https://www.example.test/"), "") << "no entry: direct";
    EXPECT_EQ(ManualProxyFor("https=;all.proxy:3128", "", "https://www.example.test/"), "all.proxy:3128");
}

TEST(ManualProxy, TheBypassListAndLoopbackGoDirect)
{
    const std::string proxy = "proxy.example:8080";
    const std::string bypass = "*.intra.example; 10.*;<local> Mail.Example.test";
    EXPECT_EQ(ManualProxyFor(proxy, bypass, "http://web.intra.example/"), "");
    EXPECT_EQ(ManualProxyFor(proxy, bypass, "http://WEB.INTRA.EXAMPLE:8080/x"), "");
    EXPECT_EQ(ManualProxyFor(proxy, bypass, "http://10.1.2.3/"), "");
    EXPECT_EQ(ManualProxyFor(proxy, bypass, "http://webhost/check.htm"), "") << "<local>: no dot";
    EXPECT_EQ(ManualProxyFor(proxy, bypass, "http://user:pw@mail.example.test/"), "");
    EXPECT_EQ(ManualProxyFor(proxy, bypass, "http://intra.example/"), proxy) << "*.intra.example needs a dot";
    EXPECT_EQ(ManualProxyFor(proxy, bypass, "http://110.1.2.3/"), proxy);
    EXPECT_EQ(ManualProxyFor(proxy, bypass, "http://www.example.test/"), proxy);
    EXPECT_EQ(ManualProxyFor(proxy, bypass, "http://[fd00::1]/"), proxy) << "an IPv6 address is no local name";

    for (const char* url : {"http://localhost/check.htm", "http://loopback/", "http://127.0.0.1:8080/",
                            "http://127.1.2.3/", "http://[::1]:80/"}) {
        EXPECT_EQ(ManualProxyFor(proxy, "", url), "") << url;
        EXPECT_EQ(ManualProxyFor(proxy, "<-loopback>", url), proxy) << url;
    }
    EXPECT_EQ(ManualProxyFor(proxy, "", "not a url"), "");
    EXPECT_EQ(ManualProxyFor(proxy, "", "http:///path"), "");
}

// The current user's Internet options in the form the system keeps them: the DefaultConnectionSettings
// value of HKCU\...\Internet Settings\Connections. The value there before the test is put back after it.
class InternetOptions
{
public:
    static constexpr DWORD Direct = 1;
    static constexpr DWORD ManualProxy = 2;
    static constexpr DWORD SetupScript = 4;
    static constexpr DWORD AutoDetect = 8;

    InternetOptions()
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, Path, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &m_key,
                        nullptr);
        DWORD size = 0;
        if (RegQueryValueExW(m_key, Value, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            m_saved.resize(size);
            RegQueryValueExW(m_key, Value, nullptr, nullptr, m_saved.data(), &size);
            m_hadValue = true;
        }
    }
    ~InternetOptions()
    {
        if (m_hadValue) {
            RegSetValueExW(m_key, Value, 0, REG_BINARY, m_saved.data(), static_cast<DWORD>(m_saved.size()));
        } else {
            RegDeleteValueW(m_key, Value);
        }
        RegCloseKey(m_key);
    }
    InternetOptions(const InternetOptions&) = delete;
    InternetOptions& operator=(const InternetOptions&) = delete;

    bool set(DWORD flags, const std::string& proxy, const std::string& bypass, const std::string& script = {})
    {
        std::vector<BYTE> blob;
        const auto number = [&](DWORD value) {
            const auto* bytes = reinterpret_cast<const BYTE*>(&value);
            blob.insert(blob.end(), bytes, bytes + sizeof value);
        };
        const auto text = [&](const std::string& value) {
            number(static_cast<DWORD>(value.size()));
            blob.insert(blob.end(), value.begin(), value.end());
        };
        number(0x46); // the Internet options' own version mark
        number(1);    // a change counter
        number(flags);
        text(proxy);
        text(bypass);
        text(script);
        blob.resize(blob.size() + 32, 0);
        return m_key != nullptr && RegSetValueExW(m_key, Value, 0, REG_BINARY, blob.data(),
                                                  static_cast<DWORD>(blob.size())) == ERROR_SUCCESS;
    }

private:
    static constexpr const wchar_t* Path =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
    static constexpr const wchar_t* Value = L"DefaultConnectionSettings";
    HKEY m_key = nullptr;
    std::vector<BYTE> m_saved;
    bool m_hadValue = false;
};

using WinSystemProxy = WinFetchFixture;

// One test, since the options are the one user's: tests running beside it must not see them change.
TEST_F(WinSystemProxy, TheUsersManualProxyCarriesAFetchWithAnEmptyProxyField)
{
    InternetOptions options;
    systemProxy = WinSystemProxyFor;
    server.setReply(WinHttpReply::page(200, "from the proxy"));
    server.setReply("/check.htm", WinHttpReply::page(200, "from the page"));
    const std::string proxy = "127.0.0.1:" + std::to_string(server.port());
    const std::string away = "http://sentrybell-test.invalid/check.htm";

    ASSERT_TRUE(options.set(InternetOptions::ManualProxy, proxy, "<local>;*.intranet.example"));
    EXPECT_EQ(WinSystemProxyFor(away), proxy);
    EXPECT_EQ(fetch(away, "2", "  "), FetchSucceeded);
    EXPECT_EQ(copy(), "from the proxy");
    // Loopback goes direct: the page itself answers, with a path as its target.
    EXPECT_EQ(fetch(server.url("/check.htm"), "2", ""), FetchSucceeded);
    EXPECT_EQ(copy(), "from the page");

    // Bypassed: direct to a host that does not exist.
    ASSERT_TRUE(options.set(InternetOptions::ManualProxy, proxy, "*.invalid"));
    EXPECT_EQ(WinSystemProxyFor(away), "");
    EXPECT_EQ(fetch(away, "2", ""), FetchUrlNotOpened);

    // No manual proxy, or only automatic configuration, which is not followed: direct.
    ASSERT_TRUE(options.set(InternetOptions::Direct, "", ""));
    EXPECT_EQ(WinSystemProxyFor(away), "");
    ASSERT_TRUE(options.set(InternetOptions::Direct | InternetOptions::SetupScript | InternetOptions::AutoDetect, "",
                            "", "http://wpad.example/proxy.pac"));
    EXPECT_EQ(WinSystemProxyFor(away), "");

    std::vector<std::string> targets;
    for (const auto& request : server.requests()) {
        targets.push_back(request.target);
    }
    EXPECT_EQ(targets, (std::vector<std::string>{away, "/check.htm"}));
}

} // namespace
