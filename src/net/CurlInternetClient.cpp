// SPDX-License-Identifier: MIT
#include "net/CurlInternetClient.h"

#include "net/CurlRequest.h"
#include "net/ProxyRule.h"

#include <cstdlib>
#include <curl/curl.h>

namespace {

// The proxy environment's own bypass list, as libcurl reads it, decides for itself.
bool environmentHasBypassList()
{
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

class CurlSession : public InternetSession
{
public:
    CurlSession(CurlRequestSettings settings, CurlFetchLimits limits, SystemProxyLookup systemProxy)
        : m_settings(std::move(settings)), m_limits(limits), m_systemProxy(std::move(systemProxy))
    {
        applyTimeout(m_settings.receiveTimeout);
    }

    bool setReceiveTimeout(std::int32_t milliseconds) override
    {
        if (milliseconds <= 0) {
            return false; // libcurl would take zero as "no timeout"
        }
        applyTimeout(std::chrono::milliseconds(milliseconds));
        return true;
    }

    std::unique_ptr<InternetRequest> openUrl(const std::string& url) override
    {
        std::optional<std::string> proxy; // nothing: as libcurl's proxy environment says
        if (!m_settings.proxy.empty()) {
            proxy = TypedProxyFor(m_settings.proxy, url);
        } else if (m_systemProxy) {
            proxy = m_systemProxy(url);
        }
        if (!proxy && IsLoopbackUrl(url) && !environmentHasBypassList()) {
            proxy = std::string(); // a proxy environment without a bypass list keeps loopback direct too
        }
        CurlRequestSettings settings = m_settings;
        if (proxy) {
            settings.proxy = std::move(*proxy);
            settings.direct = settings.proxy.empty();
        }
        return CurlRequest::open(url, settings);
    }

private:
    void applyTimeout(std::chrono::milliseconds timeout)
    {
        m_settings.receiveTimeout = timeout;
        m_settings.wholeFetch = WholeFetchBound(timeout, m_limits);
    }

    CurlRequestSettings m_settings;
    CurlFetchLimits m_limits;
    SystemProxyLookup m_systemProxy;
};

} // namespace

std::chrono::milliseconds WholeFetchBound(std::chrono::milliseconds receiveTimeout, const CurlFetchLimits& limits)
{
    return std::min(std::max(receiveTimeout * 10, limits.wholeFetchFloor), limits.wholeFetchCap);
}

CurlInternetClient::CurlInternetClient(CurlFetchLimits limits, SystemProxyLookup systemProxy)
    : m_limits(limits), m_systemProxy(std::move(systemProxy)),
      m_initialised(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK)
{
}

CurlInternetClient::~CurlInternetClient()
{
    if (m_initialised) {
        curl_global_cleanup();
    }
}

std::unique_ptr<InternetSession> CurlInternetClient::openSession(const std::string& agent, const std::string& proxy)
{
    if (!m_initialised) {
        return nullptr;
    }
    CurlRequestSettings settings;
    settings.agent = agent;
    settings.proxy = proxy;
    settings.maxBodyBytes = m_limits.maxBodyBytes;
    settings.caFile = m_caFile;
    settings.whileWaiting = m_whileWaiting;
    return std::make_unique<CurlSession>(std::move(settings), m_limits, m_systemProxy);
}
