// SPDX-License-Identifier: MIT
#include "net/CurlInternetClient.h"

#include "net/CurlRequest.h"

#include <curl/curl.h>

namespace {

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
        if (!m_settings.proxy.empty() || !m_systemProxy) {
            return CurlRequest::open(url, m_settings);
        }
        CurlRequestSettings settings = m_settings;
        if (auto proxy = m_systemProxy(url)) {
            settings.proxy = std::move(*proxy);
            settings.direct = settings.proxy.empty();
        }
        return CurlRequest::open(url, settings);
    }

private:
    void applyTimeout(std::chrono::milliseconds timeout)
    {
        m_settings.receiveTimeout = timeout;
        m_settings.wholeFetch = std::min(timeout * 10, m_limits.wholeFetchCap);
    }

    CurlRequestSettings m_settings;
    CurlFetchLimits m_limits;
    SystemProxyLookup m_systemProxy;
};

} // namespace

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
    return std::make_unique<CurlSession>(std::move(settings), m_limits, m_systemProxy);
}
