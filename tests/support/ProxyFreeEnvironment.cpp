// SPDX-License-Identifier: MIT
#include "support/ProxyFreeEnvironment.h"

#include <cstdlib>

ProxyFreeEnvironment::ProxyFreeEnvironment()
{
    for (const char* name :
         {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
        const char* value = std::getenv(name);
        m_before.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        ::unsetenv(name);
    }
}

ProxyFreeEnvironment::~ProxyFreeEnvironment()
{
    for (const auto& [name, value] : m_before) {
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }
}
