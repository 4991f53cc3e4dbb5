// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where the server field points: "host", "host:port", "smtp://host[:port]" or "smtps://host[:port]"
// (an IPv6 address in brackets), with spaces around it ignored.
struct SmtpServer
{
    std::string host;         // without brackets
    std::uint16_t port = 25;  // 25 by default, 465 for smtps
    bool implicitTls = false; // smtps: TLS from the first byte
    // The URL for libcurl: scheme, host and port, nothing else.
    std::string url() const;
};

// The server the text names, or nothing with `error` saying what is wrong with it. A text holding an
// account ("user:pass@host"), a query or anything that is not a host name or address is refused, so
// no credentials can travel in the URL and nothing can be smuggled into it.
std::optional<SmtpServer> ParseSmtpServer(std::string_view text, std::string& error);

// True for a host that names this machine itself: "localhost", an IPv4 address in 127.0.0.0/8, and
// the IPv6 loopback address. Nothing is resolved: any other name counts as another machine.
bool IsLoopbackHost(std::string_view host);
