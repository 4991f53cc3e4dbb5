// SPDX-License-Identifier: MIT
#include "net/CurlRequest.h"

#include <algorithm>
#include <cstring>

namespace {

// The transfer pauses while this much of the body waits to be read.
constexpr std::size_t PauseThreshold = 64 * 1024;
// Browsers give up after about this many redirects.
constexpr long MaxRedirects = 20;
constexpr const char* AllowedProtocols = "http,https";

bool equalNoCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The scheme written out in the URL, in lower case; empty when there is none. libcurl would otherwise
// guess a scheme for "host/path", which the Windows Internet API never does.
std::string schemeOf(const std::string& url)
{
    CURLU* parsed = curl_url();
    if (parsed == nullptr) {
        return {};
    }
    char* scheme = nullptr;
    std::string result;
    if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK) {
        result = scheme;
        std::transform(result.begin(), result.end(), result.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    }
    curl_free(scheme);
    curl_url_cleanup(parsed);
    return result;
}

// Only http and https URLs are fetched.
bool isHttpUrl(const std::string& url)
{
    const std::string scheme = schemeOf(url);
    return scheme == "http" || scheme == "https";
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalNoCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

std::unique_ptr<CurlRequest> CurlRequest::open(const std::string& url, const CurlRequestSettings& settings)
{
    if (!isHttpUrl(url)) {
        return nullptr;
    }
    // WinInet's "reload" flag: every cache on the way must revalidate with the server.
    curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
    if (headers != nullptr) {
        curl_slist* more = curl_slist_append(headers, "Pragma: no-cache");
        if (more == nullptr) {
            curl_slist_free_all(headers);
        }
        headers = more;
    }
    std::unique_ptr<CurlRequest> request(new CurlRequest(curl_easy_init(), curl_multi_init(), headers, settings));
    if (request->m_easy == nullptr || request->m_multi == nullptr || request->m_headers == nullptr ||
        !request->configure(url, settings) || curl_multi_add_handle(request->m_multi, request->m_easy) != CURLM_OK) {
        return nullptr;
    }
    request->noteActivity();
    while (!request->m_headersComplete && !request->m_finished) {
        request->pump();
    }
    if (!request->m_headersComplete) {
        return nullptr;
    }
    return request;
}

CurlRequest::CurlRequest(CURL* easy, CURLM* multi, curl_slist* headers, const CurlRequestSettings& settings)
    : m_easy(easy), m_multi(multi), m_headers(headers), m_receiveTimeout(settings.receiveTimeout),
      m_maxBodyBytes(settings.maxBodyBytes), m_whileWaiting(settings.whileWaiting)
{
}

CurlRequest::~CurlRequest()
{
    if (m_multi != nullptr && m_easy != nullptr) {
        curl_multi_remove_handle(m_multi, m_easy);
    }
    if (m_easy != nullptr) {
        curl_easy_cleanup(m_easy);
    }
    if (m_multi != nullptr) {
        curl_multi_cleanup(m_multi);
    }
    curl_slist_free_all(m_headers);
}

bool CurlRequest::configure(const std::string& url, const CurlRequestSettings& settings)
{
    CURL* e = m_easy;
    bool ok = curl_easy_setopt(e, CURLOPT_URL, url.c_str()) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, AllowedProtocols) == CURLE_OK &&
              // A page asked for over https is never taken from plain http: no redirect downgrades.
              curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, schemeOf(url) == "https" ? "https" : AllowedProtocols) ==
                  CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_MAXREDIRS, MaxRedirects) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_USERAGENT, settings.agent.c_str()) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_HTTPHEADER, m_headers) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK &&
              // Schannel (Windows) fails a certificate whose revocation server cannot be reached, so
              // an unreachable revocation server would fail every check; the other TLS back ends
              // ignore the bit.
              curl_easy_setopt(e, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT)) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.receiveTimeout.count())) ==
                  CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(settings.wholeFetch.count())) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &CurlRequest::onHeader) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_HEADERDATA, this) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &CurlRequest::onWrite) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_WRITEDATA, this) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &CurlRequest::onProgress) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_XFERINFODATA, this) == CURLE_OK &&
              curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
    if (ok && !settings.caFile.empty()) {
        ok = curl_easy_setopt(e, CURLOPT_CAINFO, settings.caFile.c_str()) == CURLE_OK;
    }
    if (ok && !settings.proxy.empty()) {
        // The proxy chosen for this URL carries it: the environment's bypass list has no say.
        ok = curl_easy_setopt(e, CURLOPT_PROXY, settings.proxy.c_str()) == CURLE_OK &&
             curl_easy_setopt(e, CURLOPT_NOPROXY, "") == CURLE_OK;
    } else if (ok && settings.direct) {
        // An empty proxy is libcurl's word for "none", environment included.
        ok = curl_easy_setopt(e, CURLOPT_PROXY, "") == CURLE_OK;
    }
    return ok;
}

void CurlRequest::pump()
{
    int running = 0;
    if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
        m_finished = m_failed = true;
        return;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg == CURLMSG_DONE) {
            m_finished = true;
            m_failed = m_failed || message->data.result != CURLE_OK;
            m_headersComplete = m_headersComplete || !m_failed;
        }
    }
    if (m_finished || unread() > 0) {
        return;
    }
    // Nothing new yet: sleep until the socket stirs, but never past the point where the receive
    // timeout runs out, so that the progress callback can end the transfer on time.
    const auto idle = std::chrono::steady_clock::now() - m_lastActivity;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_receiveTimeout - idle);
    const int waitMs = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count() + 1, 1, 1000));
    if (m_whileWaiting) {
        m_whileWaiting();
    }
    int ready = 0;
    if (curl_multi_wait(m_multi, nullptr, 0, waitMs, &ready) != CURLM_OK) {
        m_finished = m_failed = true;
        return;
    }
    if (ready > 0) {
        noteActivity(); // bytes arrived, even if they do not yet complete a header line
    }
}

std::optional<std::size_t> CurlRequest::read(std::span<char> destination)
{
    while (unread() == 0) {
        if (m_finished) {
            if (m_failed) {
                return std::nullopt;
            }
            return 0;
        }
        if (m_paused) {
            m_paused = false;
            noteActivity(); // the time spent paused was ours, not the server's
            if (curl_easy_pause(m_easy, CURLPAUSE_CONT) != CURLE_OK) {
                m_finished = m_failed = true;
            }
            continue;
        }
        pump();
    }
    const std::size_t count = std::min(destination.size(), unread());
    std::memcpy(destination.data(), m_buffer.data() + m_readPos, count);
    m_readPos += count;
    if (m_readPos == m_buffer.size()) {
        m_buffer.clear();
        m_readPos = 0;
    }
    return count;
}

std::size_t CurlRequest::onHeader(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* request = static_cast<CurlRequest*>(self);
    const std::size_t length = size * count;
    const std::string_view line(data, length);
    request->noteActivity();
    if (startsWithNoCase(line, "HTTP/")) {
        request->m_locationInResponse = false; // a new response begins, after a redirect or a 1xx
    } else if (startsWithNoCase(line, "Location:")) {
        request->m_locationInResponse = line.find_first_not_of(" \t\r\n", 9) != std::string_view::npos;
    } else if (line == "\r\n" || line == "\n") {
        // The end of one response's head. It is the final one unless libcurl goes on to a redirect
        // (a 3xx with a location) or it was informational (1xx).
        long status = 0;
        curl_easy_getinfo(request->m_easy, CURLINFO_RESPONSE_CODE, &status);
        const bool redirected = status >= 300 && status < 400 && request->m_locationInResponse;
        if (status >= 200 && !redirected) {
            request->m_headersComplete = true;
        }
    }
    return length;
}

std::size_t CurlRequest::onWrite(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* request = static_cast<CurlRequest*>(self);
    if (request->unread() >= PauseThreshold) {
        request->m_paused = true; // libcurl keeps these bytes and offers them again when resumed
        return CURL_WRITEFUNC_PAUSE;
    }
    const std::size_t length = size * count;
    request->m_headersComplete = true;
    request->noteActivity();
    const std::uint64_t room = request->m_maxBodyBytes - request->m_bodyBytes;
    const auto kept = static_cast<std::size_t>(std::min<std::uint64_t>(length, room));
    request->m_buffer.append(data, kept);
    request->m_bodyBytes += kept;
    // Fewer than offered: the body passed its bound, and libcurl ends the transfer with an error.
    return kept;
}

int CurlRequest::onProgress(void* self, curl_off_t /*dltotal*/, curl_off_t dlnow, curl_off_t /*ultotal*/,
                            curl_off_t ulnow)
{
    auto* request = static_cast<CurlRequest*>(self);
    if (dlnow != request->m_lastDownloaded || ulnow != request->m_lastUploaded) {
        request->m_lastDownloaded = dlnow;
        request->m_lastUploaded = ulnow;
        request->noteActivity();
    }
    const bool stalled = std::chrono::steady_clock::now() - request->m_lastActivity > request->m_receiveTimeout;
    return stalled ? 1 : 0; // non-zero aborts the transfer
}
