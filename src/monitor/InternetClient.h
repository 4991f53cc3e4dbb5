// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

// The internet session that the page fetch runs on, shaped like the Windows Internet API: a client
// opens a session, the session opens a request for a URL, the request's body is read in pieces.
// Closing is destruction; a request is always destroyed before its session. Texts are UTF-8.

// One GET whose final response headers have arrived. Destroying it closes the connection.
class InternetRequest
{
public:
    virtual ~InternetRequest() = default;
    // Reads the next bytes of the body into destination, at most its size. Returns the count, 0 at the
    // end of the body, or nothing when the read failed: the connection was reset or closed early, no
    // byte came for the receive timeout, or a bound of the whole fetch (time, body size) was reached.
    // Every byte received before a failure has been returned by an earlier read.
    virtual std::optional<std::size_t> read(std::span<char> destination) = 0;
};

class InternetSession
{
public:
    virtual ~InternetSession() = default;
    // Sets the receive timeout: the longest wait for data at each step (connecting, the response
    // headers, each piece of the body), not a bound on the whole transfer. False when the value
    // cannot be used (zero or negative would mean no bound at all); the session is then unchanged.
    virtual bool setReceiveTimeout(std::int32_t milliseconds) = 0;
    // Sends a GET for the URL, asking every cache on the way to revalidate, follows redirects, and
    // waits for the final response's headers. The status code is not examined. Null when the URL is
    // empty, malformed or not http/https, the name cannot be resolved, the connection is refused,
    // a redirect leads elsewhere than http/https, or no complete headers came within the bounds.
    virtual std::unique_ptr<InternetRequest> openUrl(const std::string& url) = 0;
};

class InternetClient
{
public:
    virtual ~InternetClient() = default;
    // Opens a session that sends the given user agent. An empty proxy means the system's own proxy
    // setting; otherwise every request goes through that proxy ("host", "host:port" or a proxy URL;
    // port 80 when none is given), except a request for this machine itself, which goes direct.
    // Null when no session can be opened.
    virtual std::unique_ptr<InternetSession> openSession(const std::string& agent, const std::string& proxy) = 0;
};
