// SPDX-License-Identifier: MIT
#pragma once

#include "monitor/InternetClient.h"

#include <chrono>
#include <cstdint>

// Bounds that make every fetch end, whatever the server does.
struct CurlFetchLimits
{
    // The whole fetch takes at most ten times the receive timeout, and never more than this.
    std::chrono::milliseconds wholeFetchCap = std::chrono::minutes(10);
    // A body longer than this is cut there: the read after the last byte kept fails.
    std::uint64_t maxBodyBytes = std::uint64_t{1} << 30;
};

// The internet client over libcurl. Only http and https URLs are fetched, redirects are followed only
// to http and https, certificates are verified against the system's store, and every request asks the
// caches on its way to revalidate. An empty proxy means libcurl's standard proxy environment
// (http_proxy, https_proxy, no_proxy); a given proxy is used for every host.
class CurlInternetClient : public InternetClient
{
public:
    explicit CurlInternetClient(CurlFetchLimits limits = {});
    ~CurlInternetClient() override;
    CurlInternetClient(const CurlInternetClient&) = delete;
    CurlInternetClient& operator=(const CurlInternetClient&) = delete;

    // Null only when libcurl could not be initialised.
    std::unique_ptr<InternetSession> openSession(const std::string& agent, const std::string& proxy) override;

private:
    CurlFetchLimits m_limits;
    bool m_initialised;
};
