// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

// One request as the server received it.
struct RecordedRequest
{
    std::string method;
    std::string target; // as sent: a path, or an absolute URL when the client used the server as a proxy
    std::vector<std::pair<std::string, std::string>> headers;

    // The value of the first header of that name (compared without case), or nothing.
    std::optional<std::string> header(std::string_view name) const;
};

// What the server does with a request. Build one with the named constructors; every reply closes the
// connection when it is done, so each request comes on a connection of its own.
struct HttpReply
{
    enum class Cut
    {
        None,  // the whole body is sent
        Stall, // after cutAt body bytes nothing more is sent until the client leaves
        Reset, // after cutAt body bytes the connection is reset
    };

    int status = 200;
    std::vector<std::string> headers; // extra "Name: value" lines
    std::string body;
    bool contentLength = true;
    Cut cut = Cut::None;
    std::size_t cutAt = 0;
    bool stallBeforeHeaders = false;            // answers nothing until the client leaves
    bool resetBeforeHeaders = false;            // reads the request and resets the connection
    std::chrono::milliseconds headerDripGap{0}; // when set: an endless head, one byte per gap
    std::size_t bodyPiece = 0;                  // when set: the body in pieces of this size...
    std::chrono::milliseconds bodyPieceGap{0};  // ...with this pause before each piece
    bool endless = false;                       // the body repeats without end

    // A complete answer with that status and body.
    static HttpReply page(int status, std::string body);
    // A redirect to the location, without a body.
    static HttpReply redirect(int status, std::string location);
    // Reads the request and then sends nothing at all.
    static HttpReply silence();
    // Reads the request and resets the connection without a byte of answer.
    static HttpReply reset();
    // Announces the whole body but sends only its first `sent` bytes, then stalls or resets.
    static HttpReply stallMidBody(std::string body, std::size_t sent);
    static HttpReply resetMidBody(std::string body, std::size_t sent);
    // Status line, then header lines one byte at a time, never ending the head.
    static HttpReply dripHeaders(std::chrono::milliseconds gap);
    // The whole body, slowly: a piece at a time with a pause before each.
    static HttpReply dripBody(std::string body, std::size_t piece, std::chrono::milliseconds gap);
    // A 200 whose body repeats `unit` without end (no length, as fast as the client reads).
    static HttpReply endlessBody(std::string unit);
};

// A scriptable HTTP/1.1 server on 127.0.0.1 at a port of its own (bound to port 0), serving one
// connection at a time from a thread of its own. Every wait of the server also watches for stop(),
// so a test never hangs on it. Replies are chosen by the request target; a target without a reply of
// its own gets the default reply (a 200 with an empty body until one is set).
class LoopbackHttpServer
{
public:
    // Listens on a port the system picks, or on `port` (a server brought back where an earlier one
    // was taken down). Throws std::runtime_error when no listening socket can be made.
    explicit LoopbackHttpServer(std::uint16_t port = 0);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void setReply(HttpReply reply);
    void setReply(const std::string& target, HttpReply reply);

    std::uint16_t port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string url(const std::string& path = "/") const;

    // After `count` requests in all have been answered the server closes its listening socket, so
    // that every later connection is refused: the web server taken down between two checks, never in
    // the middle of one. It is looked at after each answer, so set it before the requests it counts
    // arrive. A server is brought back by a new one on the same port.
    void goDownAfter(std::size_t count);

    // The requests received so far, in order.
    std::vector<RecordedRequest> requests() const;
    // Forgets the requests recorded so far (a long run would otherwise keep them all); returns how many.
    std::size_t forgetRequests();

    // Ends every wait, closes the listener and joins the thread. Safe to call twice; the destructor calls it.
    void stop();

private:
    class Connection;
    void run();
    void serve(int fd);
    std::shared_ptr<const HttpReply> replyFor(const std::string& target) const;
    bool isDown() const;

    int m_listener = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::uint16_t m_port = 0;
    mutable std::mutex m_mutex;
    // Shared, not copied, per request: a reply may hold a body of many megabytes.
    std::shared_ptr<const HttpReply> m_defaultReply = std::make_shared<const HttpReply>(HttpReply::page(200, ""));
    std::map<std::string, std::shared_ptr<const HttpReply>> m_replies;
    std::vector<RecordedRequest> m_requests;
    std::optional<std::size_t> m_downAfter;
    std::thread m_thread;
};
