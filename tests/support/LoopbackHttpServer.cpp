// SPDX-License-Identifier: MIT
#include "support/LoopbackHttpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::size_t MaxRequestHead = 64 * 1024;
constexpr int RequestHeadTimeoutMs = 10000;

const char* reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

std::string trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

RecordedRequest parseHead(const std::string& head)
{
    RecordedRequest request;
    std::size_t lineStart = 0;
    bool first = true;
    while (lineStart < head.size()) {
        auto lineEnd = head.find("\r\n", lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = head.size();
        }
        const std::string_view line(head.data() + lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 2;
        if (line.empty()) {
            break;
        }
        if (first) {
            first = false;
            const auto space1 = line.find(' ');
            const auto space2 = line.find(' ', space1 + 1);
            request.method = std::string(line.substr(0, space1));
            if (space1 != std::string_view::npos) {
                request.target = std::string(line.substr(space1 + 1, space2 - space1 - 1));
            }
            continue;
        }
        const auto colon = line.find(':');
        if (colon != std::string_view::npos) {
            request.headers.emplace_back(std::string(line.substr(0, colon)), trim(line.substr(colon + 1)));
        }
    }
    return request;
}

} // namespace

std::optional<std::string> RecordedRequest::header(std::string_view name) const
{
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size() && ::strncasecmp(key.c_str(), name.data(), name.size()) == 0) {
            return value;
        }
    }
    return std::nullopt;
}

HttpReply HttpReply::page(int status, std::string body)
{
    HttpReply reply;
    reply.status = status;
    reply.body = std::move(body);
    return reply;
}

HttpReply HttpReply::redirect(int status, std::string location)
{
    HttpReply reply = page(status, "");
    reply.headers.push_back("Location: " + location);
    return reply;
}

HttpReply HttpReply::silence()
{
    HttpReply reply;
    reply.stallBeforeHeaders = true;
    return reply;
}

HttpReply HttpReply::reset()
{
    HttpReply reply;
    reply.resetBeforeHeaders = true;
    return reply;
}

HttpReply HttpReply::stallMidBody(std::string body, std::size_t sent)
{
    HttpReply reply = page(200, std::move(body));
    reply.cut = Cut::Stall;
    reply.cutAt = sent;
    return reply;
}

HttpReply HttpReply::resetMidBody(std::string body, std::size_t sent)
{
    HttpReply reply = stallMidBody(std::move(body), sent);
    reply.cut = Cut::Reset;
    return reply;
}

HttpReply HttpReply::dripHeaders(std::chrono::milliseconds gap)
{
    HttpReply reply;
    reply.headerDripGap = gap;
    return reply;
}

HttpReply HttpReply::dripBody(std::string body, std::size_t piece, std::chrono::milliseconds gap)
{
    HttpReply reply = page(200, std::move(body));
    reply.bodyPiece = std::max<std::size_t>(piece, 1);
    reply.bodyPieceGap = gap;
    return reply;
}

HttpReply HttpReply::endlessBody(std::string unit)
{
    HttpReply reply = page(200, std::move(unit));
    reply.contentLength = false;
    reply.endless = true;
    return reply;
}

// One accepted connection. Every wait also watches the server's wake pipe, so stop() ends it.
class LoopbackHttpServer::Connection
{
public:
    Connection(int fd, int wake) : m_fd(fd), m_wake(wake)
    {
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    }
    ~Connection()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The request head up to its blank line, or nothing when the client left, was too slow or sent too much.
    std::optional<std::string> readHead()
    {
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos) {
            if (head.size() > MaxRequestHead || waitFor(POLLIN, RequestHeadTimeoutMs) != Ready::Yes) {
                return std::nullopt;
            }
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                    continue;
                }
                return std::nullopt;
            }
            head.append(buffer, static_cast<std::size_t>(n));
        }
        return head;
    }

    // Sends every byte; false when the client left or the server stops.
    bool send(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n >= 0) {
                bytes.remove_prefix(static_cast<std::size_t>(n));
                continue;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno != EAGAIN || waitFor(POLLOUT, -1) != Ready::Yes) {
                return false;
            }
        }
        return true;
    }

    // Lets the time pass; false when the client left or the server stops meanwhile.
    bool pause(std::chrono::milliseconds duration)
    {
        const auto end = std::chrono::steady_clock::now() + duration;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return true;
            }
            const Ready ready = waitFor(POLLIN, static_cast<int>(left.count()));
            if (ready == Ready::Stopped || (ready == Ready::Yes && clientLeft())) {
                return false;
            }
        }
    }

    void waitUntilClientLeaves()
    {
        while (pause(std::chrono::hours(1))) {
        }
    }

    // Closes with a reset instead of an orderly end.
    void reset()
    {
        const linger hard{1, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        ::close(m_fd);
        m_fd = -1;
    }

private:
    enum class Ready
    {
        Yes,
        TimedOut,
        Stopped,
    };

    Ready waitFor(short events, int timeoutMs)
    {
        pollfd fds[2] = {{m_fd, events, 0}, {m_wake, POLLIN, 0}};
        for (;;) {
            const int n = ::poll(fds, 2, timeoutMs);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 || fds[1].revents != 0) {
                return Ready::Stopped;
            }
            return n == 0 ? Ready::TimedOut : Ready::Yes;
        }
    }

    // Reads and drops whatever the client sent; true when it has closed or reset the connection.
    bool clientLeft()
    {
        char buffer[4096];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        return n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR);
    }

    int m_fd;
    int m_wake;
};

LoopbackHttpServer::LoopbackHttpServer(std::uint16_t port)
{
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error("LoopbackHttpServer: pipe failed");
    }
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];

    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // The connections of a server taken down linger in TIME_WAIT on its port; the one brought back
    // in its place may still bind it.
    const int reuse = 1;
    if (m_listener >= 0) {
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        stop();
        throw std::runtime_error("LoopbackHttpServer: cannot listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stop();
}

void LoopbackHttpServer::stop()
{
    if (m_wakeWrite >= 0) {
        const char byte = 0;
        (void)::write(m_wakeWrite, &byte, 1);
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    for (int* fd : {&m_listener, &m_wakeRead, &m_wakeWrite}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void LoopbackHttpServer::setReply(HttpReply reply)
{
    const std::lock_guard lock(m_mutex);
    m_defaultReply = std::make_shared<const HttpReply>(std::move(reply));
}

void LoopbackHttpServer::setReply(const std::string& target, HttpReply reply)
{
    const std::lock_guard lock(m_mutex);
    m_replies.insert_or_assign(target, std::make_shared<const HttpReply>(std::move(reply)));
}

std::string LoopbackHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<RecordedRequest> LoopbackHttpServer::requests() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

std::size_t LoopbackHttpServer::forgetRequests()
{
    const std::lock_guard lock(m_mutex);
    const std::size_t count = m_requests.size();
    m_requests.clear();
    m_requests.shrink_to_fit();
    return count;
}

std::shared_ptr<const HttpReply> LoopbackHttpServer::replyFor(const std::string& target) const
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_replies.find(target);
    return it != m_replies.end() ? it->second : m_defaultReply;
}

void LoopbackHttpServer::goDownAfter(std::size_t count)
{
    const std::lock_guard lock(m_mutex);
    m_downAfter = count;
}

bool LoopbackHttpServer::isDown() const
{
    const std::lock_guard lock(m_mutex);
    return m_downAfter && m_requests.size() >= *m_downAfter;
}

void LoopbackHttpServer::run()
{
    for (;;) {
        if (m_listener >= 0 && isDown()) {
            ::close(m_listener);
            m_listener = -1;
        }
        // A server that is down waits only for stop() (poll ignores a negative descriptor).
        pollfd fds[2] = {{m_listener, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            serve(fd);
        }
    }
}

void LoopbackHttpServer::serve(int fd)
{
    Connection connection(fd, m_wakeRead);
    const auto head = connection.readHead();
    if (!head) {
        return;
    }
    RecordedRequest request = parseHead(*head);
    const auto shared = replyFor(request.target);
    const HttpReply& reply = *shared;
    {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(std::move(request));
    }

    if (reply.stallBeforeHeaders) {
        connection.waitUntilClientLeaves();
        return;
    }
    if (reply.resetBeforeHeaders) {
        connection.reset();
        return;
    }
    if (reply.headerDripGap.count() > 0) {
        std::string line = "HTTP/1.1 200 OK\r\n";
        for (std::size_t i = 0;; ++i) {
            if (i == line.size()) {
                line = "X-Drip: " + std::to_string(i) + "\r\n";
                i = 0;
            }
            if (!connection.send(std::string_view(&line[i], 1)) || !connection.pause(reply.headerDripGap)) {
                return;
            }
        }
    }

    std::string responseHead = "HTTP/1.1 " + std::to_string(reply.status) + " " + reasonPhrase(reply.status) + "\r\n";
    if (reply.contentLength) {
        responseHead += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    }
    responseHead += "Connection: close\r\n";
    for (const std::string& header : reply.headers) {
        responseHead += header + "\r\n";
    }
    responseHead += "\r\n";
    if (!connection.send(responseHead)) {
        return;
    }

    if (reply.endless) {
        // The unit repeated to a large piece, so that the stream is fast and still repeats the unit.
        std::string piece = reply.body.empty() ? std::string("x") : reply.body;
        while (piece.size() < 64 * 1024) {
            piece += piece;
        }
        while (connection.send(piece)) {
        }
        return;
    }
    const std::size_t sent =
        reply.cut == HttpReply::Cut::None ? reply.body.size() : std::min(reply.cutAt, reply.body.size());
    const std::size_t piece = reply.bodyPiece == 0 ? std::max<std::size_t>(sent, 1) : reply.bodyPiece;
    for (std::size_t offset = 0; offset < sent; offset += piece) {
        if (reply.bodyPieceGap.count() > 0 && !connection.pause(reply.bodyPieceGap)) {
            return;
        }
        if (!connection.send(std::string_view(reply.body).substr(offset, std::min(piece, sent - offset)))) {
            return;
        }
    }
    if (reply.cut == HttpReply::Cut::Stall) {
        connection.waitUntilClientLeaves();
    } else if (reply.cut == HttpReply::Cut::Reset) {
        connection.reset();
    }
}
