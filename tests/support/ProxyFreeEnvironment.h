// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Clears libcurl's proxy variables for as long as it lives, so that no proxy of the machine stands
// between a test and its servers on loopback; a test may set them meanwhile. At the end every one of
// them is as it was before.
class ProxyFreeEnvironment
{
public:
    ProxyFreeEnvironment();
    ~ProxyFreeEnvironment();
    ProxyFreeEnvironment(const ProxyFreeEnvironment&) = delete;
    ProxyFreeEnvironment& operator=(const ProxyFreeEnvironment&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_before;
};
