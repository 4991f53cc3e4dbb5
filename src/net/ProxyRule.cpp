// SPDX-License-Identifier: MIT
#include "net/ProxyRule.h"

#include "net/SmtpServerText.h"

#include <curl/curl.h>
#include <memory>

namespace {

// The field is trimmed of spaces only, as the page fetch always did.
constexpr std::string_view Blanks = " ";

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// The URL's host as libcurl connects to it (an IPv4 address in its normal form, an IPv6 address
// without brackets), or the empty text when libcurl would not take the URL.
std::string hostOf(std::string_view url)
{
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), &curl_url_cleanup);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, std::string(url).c_str(), 0) != CURLUE_OK) {
        return {};
    }
    char* host = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) {
        return {};
    }
    std::string text(host);
    curl_free(host);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        text = text.substr(1, text.size() - 2);
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back(); // "localhost." is the same name, fully qualified
    }
    return text;
}

} // namespace

bool IsLoopbackUrl(std::string_view url)
{
    const std::string host = hostOf(url);
    return !host.empty() && (IsLoopbackHost(host) || curl_strequal(host.c_str(), "loopback") != 0);
}

std::string ProxyServerText(std::string_view text, std::string_view defaultPort)
{
    const std::string_view server = trimmed(text);
    std::string_view hostPart = server;
    if (const auto scheme = hostPart.find("://"); scheme != std::string_view::npos) {
        if (scheme != 4 || curl_strnequal(hostPart.data(), "http", 4) == 0) {
            return std::string(server); // another scheme has its own default port, which libcurl knows
        }
        hostPart.remove_prefix(scheme + 3);
    }
    hostPart = hostPart.substr(0, hostPart.find('/'));
    if (hostPart.empty()) {
        return std::string(server);
    }
    const auto close = hostPart.rfind(']');
    const auto colon = hostPart.rfind(':');
    const bool hasPort = colon != std::string_view::npos && (close == std::string_view::npos || colon > close);
    if (hasPort) {
        return std::string(server);
    }
    const auto end = static_cast<std::size_t>(hostPart.data() - server.data()) + hostPart.size();
    std::string out(server.substr(0, end));
    out.append(":").append(defaultPort).append(server.substr(end));
    return out;
}

std::string TypedProxyFor(std::string_view proxy, std::string_view url)
{
    return IsLoopbackUrl(url) ? std::string() : ProxyServerText(proxy);
}
