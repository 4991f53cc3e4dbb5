// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// The proxy that a manual proxy setting of the Windows Internet options picks for a URL, worked out
// from the setting's two texts as the system's own Internet API reads them:
//
// - the proxy list: one "server[:port]" for every scheme, or "scheme=server[:port]" entries ("http=",
//   "https=", "socks=") separated by ";" or blanks. A URL uses its scheme's entry, else the entry for
//   every scheme, else a SOCKS entry; with none of them it goes direct. A server without a port is
//   taken on port 80, as the Internet API does (the proxy rule of src/net/ProxyRule.h, which the
//   typed proxy follows too);
// - the bypass list: host patterns separated by ";" or blanks, "*" matching any run of characters and
//   case ignored; "<local>" stands for every host name without a dot. Loopback (IsLoopbackUrl:
//   localhost, loopback, 127.x.x.x, [::1]) always goes direct, unless the list holds "<-loopback>".
//
// Returns the proxy for libcurl ("server:port", or "socks4://server:port"), or the empty text when
// the URL goes direct. A URL that names no host goes direct.
std::string ManualProxyFor(std::string_view proxyList, std::string_view bypassList, std::string_view url);
