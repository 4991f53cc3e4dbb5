// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

// One request as the Windows test server received it.
struct WinRecordedRequest
{
    std::string method;
    std::string target; // a path, or an absolute URL when the client took the server for its proxy
    std::vector<std::pair<std::string, std::string>> headers;

    // The value of the first header of that name (compared without case), or nothing.
    std::optional<std::string> header(std::string_view name) const;
};

// What the server does with a request; every reply closes its connection when done.
struct WinHttpReply
{
    int status = 200;
    std::string body;
    bool silent = false;                   // reads the request, then sends nothing until the client leaves
    std::optional<std::size_t> stallAfter; // sends the head and this many body bytes, then nothing

    static WinHttpReply page(int status, std::string body);
    static WinHttpReply silence();
    static WinHttpReply stallMidBody(std::string body, std::size_t sent);
};

// A small HTTP/1.1 server on 127.0.0.1 at a port of its own (bound to port 0), over Winsock, for the
// fetch tests under Wine: one connection at a time from a thread of its own, every wait sliced so that
// stop() ends it at once. Replies are chosen by request target; others get the default reply (a 200
// with an empty body until one is set).
class WinLoopbackHttpServer
{
public:
    // Throws std::runtime_error when no listening socket can be made.
    WinLoopbackHttpServer();
    ~WinLoopbackHttpServer();
    WinLoopbackHttpServer(const WinLoopbackHttpServer&) = delete;
    WinLoopbackHttpServer& operator=(const WinLoopbackHttpServer&) = delete;

    void setReply(WinHttpReply reply);
    void setReply(const std::string& target, WinHttpReply reply);

    std::uint16_t port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string url(const std::string& path = "/") const;
    std::vector<WinRecordedRequest> requests() const;

    // Ends every wait and joins the thread. Safe to call twice; the destructor calls it.
    void stop();

private:
    void run();
    void serve(std::uintptr_t connection);
    WinHttpReply replyFor(const std::string& target) const;
    // Waits until the socket can be read, in slices; false once the server stops.
    bool waitReadable(std::uintptr_t socket, int timeoutMs) const;
    void holdUntilClientLeaves(std::uintptr_t connection) const;

    std::uintptr_t m_listener;
    bool m_winsock = false;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    WinHttpReply m_defaultReply = WinHttpReply::page(200, "");
    std::map<std::string, WinHttpReply> m_replies;
    std::vector<WinRecordedRequest> m_requests;
    std::thread m_thread;
};
