// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

// The proxy of the current user's Internet options (WinHttpGetIEProxyConfigForCurrentUser) for a
// URL, for a fetch whose proxy field is empty: the manual proxy setting with its bypass list (see
// ManualProxy.h), or the empty text to go direct. Automatic configuration (a setup script, or
// detection by WPAD) is not followed: a fetch under it goes direct, or through the manual proxy when
// one is set as well. Nothing when the options cannot be read, which leaves the choice to libcurl's
// proxy environment. Fits CurlInternetClient's system proxy hook.
std::optional<std::string> WinSystemProxyFor(const std::string& url);
