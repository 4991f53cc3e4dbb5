// SPDX-License-Identifier: MIT
#include "win/ManualProxy.h"

#include "net/ProxyRule.h"

#include <optional>
#include <vector>

namespace {

constexpr std::string_view Separators = "; \t\r\n";

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        c = lower(c);
    }
    return out;
}

std::vector<std::string_view> entries(std::string_view list)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while ((start = list.find_first_not_of(Separators, start)) != std::string_view::npos) {
        const std::size_t end = list.find_first_of(Separators, start);
        out.push_back(list.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        start = end;
    }
    return out;
}

struct Target
{
    std::string scheme; // lower case
    std::string host;   // lower case, without brackets
};

std::optional<Target> targetOf(std::string_view url)
{
    const auto colon = url.find("://");
    if (colon == std::string_view::npos || colon == 0) {
        return std::nullopt;
    }
    Target target{lowered(url.substr(0, colon)), {}};
    std::string_view authority = url.substr(colon + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        target.host = lowered(authority.substr(1, close == std::string_view::npos ? close : close - 1));
    } else {
        target.host = lowered(authority.substr(0, authority.find(':')));
    }
    if (target.host.empty()) {
        return std::nullopt;
    }
    return target;
}

// "*" matches any run of characters, including none.
bool wildcardMatch(std::string_view pattern, std::string_view text)
{
    std::size_t p = 0;
    std::size_t t = 0;
    std::optional<std::size_t> star;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starText = t;
        } else if (p < pattern.size() && lower(pattern[p]) == text[t]) {
            ++p;
            ++t;
        } else if (star) {
            p = *star + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool bypassed(std::string_view bypassList, const std::string& host, std::string_view url)
{
    bool loopbackDirect = true;
    for (std::string_view entry : entries(bypassList)) {
        const std::string pattern = lowered(entry);
        if (pattern == "<-loopback>") {
            loopbackDirect = false;
        } else if (pattern == "<local>") {
            if (host.find('.') == std::string::npos && host.find(':') == std::string::npos) {
                return true;
            }
        } else if (wildcardMatch(pattern, host)) {
            return true;
        }
    }
    return loopbackDirect && IsLoopbackUrl(url);
}

} // namespace

std::string ManualProxyFor(std::string_view proxyList, std::string_view bypassList, std::string_view url)
{
    const auto target = targetOf(url);
    if (!target || bypassed(bypassList, target->host, url)) {
        return {};
    }
    std::optional<std::string_view> forScheme;
    std::optional<std::string_view> forAll;
    std::optional<std::string_view> socks;
    for (std::string_view entry : entries(proxyList)) {
        const auto equals = entry.find('=');
        if (equals == std::string_view::npos) {
            if (!forAll) {
                forAll = entry;
            }
            continue;
        }
        const std::string scheme = lowered(entry.substr(0, equals));
        const std::string_view server = entry.substr(equals + 1);
        if (server.empty()) {
            continue;
        }
        if (scheme == target->scheme && !forScheme) {
            forScheme = server;
        } else if (scheme == "socks" && !socks) {
            socks = server;
        }
    }
    if (forScheme) {
        return ProxyServerText(*forScheme);
    }
    if (forAll) {
        return ProxyServerText(*forAll);
    }
    if (socks) {
        return "socks4://" + ProxyServerText(*socks, "1080");
    }
    return {};
}
