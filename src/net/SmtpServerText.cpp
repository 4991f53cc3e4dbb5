// SPDX-License-Identifier: MIT
#include "net/SmtpServerText.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

std::string lowerCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

bool isHostName(std::string_view host)
{
    return !host.empty() &&
           host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_") ==
               std::string_view::npos;
}

bool isIpv4Address(std::string_view host);

// Eight groups of up to four hex digits, or fewer with one "::"; the last two may be an IPv4 address.
bool isIpv6Address(std::string_view host)
{
    const auto gap = host.find("::");
    if (host.find(':') == std::string_view::npos ||
        (gap != std::string_view::npos && host.find("::", gap + 1) != std::string_view::npos)) {
        return false;
    }
    int groups = 0;
    std::size_t begin = 0;
    while (begin <= host.size()) {
        const auto end = std::min(host.find(':', begin), host.size());
        const auto group = host.substr(begin, end - begin);
        if (end == host.size() && group.find('.') != std::string_view::npos) {
            if (!isIpv4Address(group)) {
                return false;
            }
            groups += 2;
        } else if (!group.empty()) {
            if (group.size() > 4 || group.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
                return false;
            }
            ++groups;
        } else if (gap == std::string_view::npos || begin < gap || begin > gap + 2) {
            return false; // an empty group outside the one "::"
        }
        begin = end + 1;
    }
    return gap == std::string_view::npos ? groups == 8 : groups <= 7;
}

std::optional<std::uint16_t> parsePort(std::string_view text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const int port = std::stoi(std::string(text));
    if (port < 1 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(port);
}

std::vector<std::string_view> splitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t begin = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, begin)) {
        parts.push_back(text.substr(begin, at - begin));
        begin = at + 1;
    }
    parts.push_back(text.substr(begin));
    return parts;
}

bool isIpv4Address(std::string_view host)
{
    const auto parts = splitAt(host, '.');
    if (parts.size() != 4) {
        return false;
    }
    for (const auto part : parts) {
        if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string_view::npos ||
            std::stoi(std::string(part)) > 255) {
            return false;
        }
    }
    return true;
}

bool isIpv4Loopback(std::string_view host)
{
    return isIpv4Address(host) && host.starts_with("127.");
}

} // namespace

std::string SmtpServer::url() const
{
    const bool ipv6 = host.find(':') != std::string::npos;
    return std::string(implicitTls ? "smtps://" : "smtp://") + (ipv6 ? "[" + host + "]" : host) + ":" +
           std::to_string(port);
}

std::optional<SmtpServer> ParseSmtpServer(std::string_view text, std::string& error)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        error = "no SMTP server given";
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);

    SmtpServer server;
    const auto scheme = text.find("://");
    if (scheme != std::string_view::npos) {
        const std::string name = lowerCase(text.substr(0, scheme));
        if (name == "smtps") {
            server.implicitTls = true;
            server.port = 465;
        } else if (name != "smtp") {
            error = "not an SMTP server: \"" + std::string(text) + "\" (use smtp:// or smtps://)";
            return std::nullopt;
        }
        text.remove_prefix(scheme + 3);
        if (text.ends_with('/')) {
            text.remove_suffix(1);
        }
    }
    if (text.find('@') != std::string_view::npos) {
        error = "the SMTP server must not hold an account; the account fields are used for that";
        return std::nullopt;
    }

    const auto invalid = [&](const char* what) {
        error = std::string(what) + " in SMTP server \"" + std::string(text) + "\"";
        return std::nullopt;
    };
    std::string_view host = text;
    std::optional<std::string_view> port;
    if (text.starts_with('[')) {
        const auto close = text.find(']');
        if (close == std::string_view::npos) {
            return invalid("unclosed '['");
        }
        host = text.substr(1, close - 1);
        if (!isIpv6Address(host)) {
            return invalid("invalid IPv6 address");
        }
        const auto rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (!rest.starts_with(':')) {
                return invalid("invalid text after the address");
            }
            port = rest.substr(1);
        }
    } else {
        const auto colons = std::count(text.begin(), text.end(), ':');
        if (colons == 1) {
            host = text.substr(0, text.find(':'));
            port = text.substr(text.find(':') + 1);
        }
        // More than one colon: an IPv6 address without brackets, and so without a port.
        if (colons > 1 ? !isIpv6Address(host) : !isHostName(host)) {
            return invalid("invalid host name");
        }
    }
    if (port) {
        const auto number = parsePort(*port);
        if (!number) {
            return invalid("invalid port");
        }
        server.port = *number;
    }
    server.host = std::string(host);
    return server;
}

bool IsLoopbackHost(std::string_view host)
{
    const std::string name = lowerCase(host);
    return name == "localhost" || name == "::1" || name == "0:0:0:0:0:0:0:1" || isIpv4Loopback(name) ||
           (name.starts_with("::ffff:") && isIpv4Loopback(std::string_view(name).substr(7)));
}
