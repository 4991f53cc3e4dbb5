// SPDX-License-Identifier: MIT
#include "win/WinSystemProxy.h"

#include "win/ManualProxy.h"
#include "win/WideText.h"

#include <windows.h>
#include <winhttp.h>

namespace {

// Takes a text the call allocated, and frees it.
std::string adopt(wchar_t* text)
{
    if (text == nullptr) {
        return {};
    }
    std::string utf8 = Narrow(text);
    GlobalFree(text);
    return utf8;
}

} // namespace

std::optional<std::string> WinSystemProxyFor(const std::string& url)
{
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (WinHttpGetIEProxyConfigForCurrentUser(&config) == FALSE) {
        return std::nullopt;
    }
    (void)adopt(config.lpszAutoConfigUrl);
    const std::string proxy = adopt(config.lpszProxy);
    const std::string bypass = adopt(config.lpszProxyBypass);
    return ManualProxyFor(proxy, bypass, url);
}
