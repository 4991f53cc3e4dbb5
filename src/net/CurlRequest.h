// SPDX-License-Identifier: MIT
#pragma once

#include "monitor/InternetClient.h"

#include <chrono>
#include <cstdint>
#include <curl/curl.h>
#include <functional>
#include <string>

// Everything one request needs from its session.
struct CurlRequestSettings
{
    std::string agent;
    std::string proxy;   // empty: the proxy environment, unless direct
    bool direct = false; // with no proxy: connect directly, whatever the proxy environment says
    std::chrono::milliseconds receiveTimeout{30000};
    std::chrono::milliseconds wholeFetch{300000};
    std::uint64_t maxBodyBytes = 0;
    std::string caFile; // trusted certificates (PEM) in place of the system's store; empty for the store
    std::function<void()> whileWaiting; // see CurlInternetClient::setWhileWaiting
};

// One GET driven through a libcurl multi handle, so that the caller pulls the body piece by piece and
// at most one buffer of it is held in memory: when the caller falls behind, the transfer pauses.
// "No byte for the receive timeout" is judged by a progress callback that tracks the time since the
// last byte; libcurl's own low-speed limit averages over seconds and gives up far too late.
class CurlRequest : public InternetRequest
{
public:
    // Sends the request and waits for the final response headers. Null on any failure before them.
    static std::unique_ptr<CurlRequest> open(const std::string& url, const CurlRequestSettings& settings);
    ~CurlRequest() override;
    CurlRequest(const CurlRequest&) = delete;
    CurlRequest& operator=(const CurlRequest&) = delete;

    std::optional<std::size_t> read(std::span<char> destination) override;

private:
    CurlRequest(CURL* easy, CURLM* multi, curl_slist* headers, const CurlRequestSettings& settings);
    bool configure(const std::string& url, const CurlRequestSettings& settings);
    // Runs the transfer until something happens: new body bytes, the end, or a failure.
    void pump();
    void noteActivity() { m_lastActivity = std::chrono::steady_clock::now(); }
    std::size_t unread() const { return m_buffer.size() - m_readPos; }

    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal, curl_off_t ulnow);

    CURL* m_easy;
    CURLM* m_multi;
    curl_slist* m_headers;
    std::chrono::milliseconds m_receiveTimeout;
    std::uint64_t m_maxBodyBytes;
    std::function<void()> m_whileWaiting;

    std::string m_buffer; // body bytes received and not yet read
    std::size_t m_readPos = 0;
    std::uint64_t m_bodyBytes = 0;
    bool m_paused = false;
    bool m_headersComplete = false;
    bool m_locationInResponse = false;
    bool m_finished = false;
    bool m_failed = false;

    std::chrono::steady_clock::time_point m_lastActivity;
    curl_off_t m_lastDownloaded = 0;
    curl_off_t m_lastUploaded = 0;
};
