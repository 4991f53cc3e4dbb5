// SPDX-License-Identifier: MIT
#include "win/WinLoopbackHttpServer.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <winsock2.h>

namespace {

constexpr int SliceMs = 50;
constexpr int RequestHeadTimeoutMs = 10000;
constexpr std::size_t MaxRequestHead = 64 * 1024;

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

std::string trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

WinRecordedRequest parseHead(const std::string& head)
{
    WinRecordedRequest request;
    std::size_t start = 0;
    bool first = true;
    while (start < head.size()) {
        const auto end = std::min(head.find("\r\n", start), head.size());
        const std::string_view line(head.data() + start, end - start);
        start = end + 2;
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

bool sendAll(SOCKET socket, std::string_view bytes)
{
    while (!bytes.empty()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 20));
        const int sent = ::send(socket, bytes.data(), chunk, 0);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

} // namespace

std::optional<std::string> WinRecordedRequest::header(std::string_view name) const
{
    for (const auto& [key, value] : headers) {
        if (sameName(key, name)) {
            return value;
        }
    }
    return std::nullopt;
}

WinHttpReply WinHttpReply::page(int status, std::string body)
{
    WinHttpReply reply;
    reply.status = status;
    reply.body = std::move(body);
    return reply;
}

WinHttpReply WinHttpReply::silence()
{
    WinHttpReply reply;
    reply.silent = true;
    return reply;
}

WinHttpReply WinHttpReply::stallMidBody(std::string body, std::size_t sent)
{
    WinHttpReply reply = page(200, std::move(body));
    reply.stallAfter = sent;
    return reply;
}

WinLoopbackHttpServer::WinLoopbackHttpServer() : m_listener(INVALID_SOCKET)
{
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        throw std::runtime_error("WinLoopbackHttpServer: no Winsock");
    }
    m_winsock = true;
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    m_listener = listener;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (listener == INVALID_SOCKET || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 16) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        stop();
        throw std::runtime_error("WinLoopbackHttpServer: cannot listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

WinLoopbackHttpServer::~WinLoopbackHttpServer()
{
    stop();
}

void WinLoopbackHttpServer::stop()
{
    m_stopping = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_listener != INVALID_SOCKET) {
        ::closesocket(m_listener);
        m_listener = INVALID_SOCKET;
    }
    if (std::exchange(m_winsock, false)) {
        WSACleanup();
    }
}

void WinLoopbackHttpServer::setReply(WinHttpReply reply)
{
    const std::lock_guard lock(m_mutex);
    m_defaultReply = std::move(reply);
}

void WinLoopbackHttpServer::setReply(const std::string& target, WinHttpReply reply)
{
    const std::lock_guard lock(m_mutex);
    m_replies.insert_or_assign(target, std::move(reply));
}

std::string WinLoopbackHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<WinRecordedRequest> WinLoopbackHttpServer::requests() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

WinHttpReply WinLoopbackHttpServer::replyFor(const std::string& target) const
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_replies.find(target);
    return it != m_replies.end() ? it->second : m_defaultReply;
}

bool WinLoopbackHttpServer::waitReadable(std::uintptr_t socket, int timeoutMs) const
{
    for (int waited = 0; !m_stopping && waited < timeoutMs; waited += SliceMs) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(static_cast<SOCKET>(socket), &readable);
        timeval slice{0, SliceMs * 1000};
        if (::select(0, &readable, nullptr, nullptr, &slice) != 0) {
            return true; // readable, or an error that the next recv reports
        }
    }
    return false;
}

void WinLoopbackHttpServer::holdUntilClientLeaves(std::uintptr_t connection) const
{
    char buffer[4096];
    while (waitReadable(connection, RequestHeadTimeoutMs * 6)) {
        if (::recv(static_cast<SOCKET>(connection), buffer, sizeof buffer, 0) <= 0) {
            return;
        }
    }
}

void WinLoopbackHttpServer::run()
{
    while (!m_stopping) {
        if (!waitReadable(m_listener, SliceMs)) {
            continue;
        }
        const SOCKET connection = ::accept(static_cast<SOCKET>(m_listener), nullptr, nullptr);
        if (connection != INVALID_SOCKET) {
            serve(connection);
            ::closesocket(connection);
        }
    }
}

void WinLoopbackHttpServer::serve(std::uintptr_t connection)
{
    const auto socket = static_cast<SOCKET>(connection);
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (head.size() > MaxRequestHead || !waitReadable(connection, RequestHeadTimeoutMs)) {
            return;
        }
        const int got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return;
        }
        head.append(buffer, static_cast<std::size_t>(got));
    }
    WinRecordedRequest request = parseHead(head);
    const WinHttpReply reply = replyFor(request.target);
    {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(std::move(request));
    }
    if (reply.silent) {
        holdUntilClientLeaves(connection);
        return;
    }
    const std::string responseHead = "HTTP/1.1 " + std::to_string(reply.status) +
                                     " Status\r\nContent-Length: " + std::to_string(reply.body.size()) +
                                     "\r\nConnection: close\r\n\r\n";
    const std::size_t sent = std::min(reply.stallAfter.value_or(reply.body.size()), reply.body.size());
    if (!sendAll(socket, responseHead) || !sendAll(socket, std::string_view(reply.body).substr(0, sent))) {
        return;
    }
    if (reply.stallAfter) {
        holdUntilClientLeaves(connection);
        return;
    }
    // An orderly end: the client reads the body to its end before it sees the close.
    ::shutdown(socket, SD_SEND);
    holdUntilClientLeaves(connection);
}
