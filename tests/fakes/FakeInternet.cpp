// SPDX-License-Identifier: MIT
#include "fakes/FakeInternet.h"

#include <algorithm>
#include <cstring>

namespace {

class FakeRequest : public InternetRequest
{
public:
    explicit FakeRequest(FakeInternetClient& client) : m_client(client) { ++m_client.requestsOpen; }
    ~FakeRequest() override
    {
        --m_client.requestsOpen;
        m_client.events.emplace_back("close request");
    }
    FakeRequest(const FakeRequest&) = delete;
    FakeRequest& operator=(const FakeRequest&) = delete;

    std::optional<std::size_t> read(std::span<char> destination) override
    {
        m_client.events.push_back("read " + std::to_string(destination.size()));
        const std::string& body = m_client.body;
        if (m_served == body.size()) {
            if (m_client.failAfterBody) {
                return std::nullopt;
            }
            return 0;
        }
        const std::size_t count = std::min({destination.size(), m_client.servePiece, body.size() - m_served});
        std::memcpy(destination.data(), body.data() + m_served, count);
        m_served += count;
        return count;
    }

private:
    FakeInternetClient& m_client;
    std::size_t m_served = 0;
};

class FakeSession : public InternetSession
{
public:
    explicit FakeSession(FakeInternetClient& client) : m_client(client) { ++m_client.sessionsOpen; }
    ~FakeSession() override
    {
        --m_client.sessionsOpen;
        m_client.events.emplace_back("close session");
    }
    FakeSession(const FakeSession&) = delete;
    FakeSession& operator=(const FakeSession&) = delete;

    bool setReceiveTimeout(std::int32_t milliseconds) override
    {
        m_client.events.push_back("timeout " + std::to_string(milliseconds));
        return !m_client.refuseTimeout;
    }

    std::unique_ptr<InternetRequest> openUrl(const std::string& url) override
    {
        m_client.events.push_back("open " + url);
        if (m_client.failOpen) {
            return nullptr;
        }
        return std::make_unique<FakeRequest>(m_client);
    }

private:
    FakeInternetClient& m_client;
};

} // namespace

std::unique_ptr<InternetSession> FakeInternetClient::openSession(const std::string& agent, const std::string& proxy)
{
    events.push_back("session " + agent + "|" + proxy);
    if (failSession) {
        return nullptr;
    }
    return std::make_unique<FakeSession>(*this);
}

std::vector<std::string> FakeInternetClient::eventsStarting(const std::string& prefix) const
{
    std::vector<std::string> found;
    std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                 [&](const std::string& event) { return event.rfind(prefix, 0) == 0; });
    return found;
}
