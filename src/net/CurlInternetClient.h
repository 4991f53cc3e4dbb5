// SPDX-License-Identifier: MIT
#pragma once

#include "monitor/InternetClient.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Bounds that make every fetch end, whatever the server does.
struct CurlFetchLimits
{
    // The whole fetch takes at most ten times the receive timeout, but never less than the floor (a
    // healthy page that streams for a while must pass at a receive timeout of one second) and never
    // more than the cap.
    std::chrono::milliseconds wholeFetchFloor = std::chrono::minutes(1);
    std::chrono::milliseconds wholeFetchCap = std::chrono::minutes(10);
    // A body longer than this is cut there: the read after the last byte kept fails.
    std::uint64_t maxBodyBytes = std::uint64_t{1} << 30;
};

// The bound of a whole fetch at this receive timeout: max(10 x the timeout, floor), at most the cap.
std::chrono::milliseconds WholeFetchBound(std::chrono::milliseconds receiveTimeout, const CurlFetchLimits& limits);

// Where a request of a session without a proxy of its own goes, asked with the request's URL: through
// a proxy ("host:port" or a proxy URL), directly (the empty text), or as libcurl's proxy environment
// says (nothing). The platform's own proxy setting comes in through it.
using SystemProxyLookup = std::function<std::optional<std::string>(const std::string& url)>;

// The internet client over libcurl. Only http and https URLs are fetched, redirects are followed only
// to http and https (from https only to https), certificates are verified against the system's store
// (or the file given to setCaFile), and every request asks the caches on its way to revalidate. A
// given proxy is used for every host but this machine itself (ProxyRule.h: loopback goes direct, a
// proxy without a port is on port 80). An empty proxy means the
// system's proxy: the lookup's answer, or without a lookup libcurl's standard proxy environment
// (http_proxy, https_proxy, no_proxy), which without a no_proxy list of its own keeps loopback direct
// as well.
class CurlInternetClient : public InternetClient
{
public:
    explicit CurlInternetClient(CurlFetchLimits limits = {}, SystemProxyLookup systemProxy = {});
    ~CurlInternetClient() override;
    CurlInternetClient(const CurlInternetClient&) = delete;
    CurlInternetClient& operator=(const CurlInternetClient&) = delete;

    // Null only when libcurl could not be initialised.
    std::unique_ptr<InternetSession> openSession(const std::string& agent, const std::string& proxy) override;
    // Trusts only the certificates of this PEM file, in place of the system's store (a test's server).
    void setCaFile(std::string pemFile) { m_caFile = std::move(pemFile); }
    // Called on the fetching thread at least once a second while a request waits for the server, for
    // as long as the fetch's bounds let it wait (a service's keepalive to its supervisor).
    void setWhileWaiting(std::function<void()> hook) { m_whileWaiting = std::move(hook); }

private:
    std::string m_caFile;
    std::function<void()> m_whileWaiting;
    CurlFetchLimits m_limits;
    SystemProxyLookup m_systemProxy;
    bool m_initialised;
};
