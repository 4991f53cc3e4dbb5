// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// The one rule for a proxy server named by the operator: typed into "Proxy設定", or set as the
// manual proxy of the platform (src/win/ManualProxy). Both go through it, so a check of the server's
// own page never leaves the machine, and a proxy given without a port is reached where the operator
// expects it.

// True for a URL whose host names this machine: "localhost", "loopback", an address in 127.0.0.0/8,
// or the IPv6 loopback [::1]. The host is read as libcurl reads it, so "127.1" and "LOCALHOST" count
// too. A proxy never carries such a URL: on the server itself the check page normally is on this
// machine, and a proxy would ask its own machine instead, or refuse, and every check would fail.
bool IsLoopbackUrl(std::string_view url);

// A proxy server as libcurl is to reach it: spaces around the text removed, and `defaultPort` added
// to "host" and "http://host" (libcurl itself would take 1080, the SOCKS port). "host:port",
// "http://host:port" and a proxy URL of another scheme stay as they are; an IPv6 address goes in
// brackets. Empty for a text of spaces.
std::string ProxyServerText(std::string_view text, std::string_view defaultPort = "80");

// Where a request for the URL goes when the operator typed this proxy: through ProxyServerText, or
// directly (the empty text) for a loopback URL or a proxy text of spaces.
std::string TypedProxyFor(std::string_view proxy, std::string_view url);
