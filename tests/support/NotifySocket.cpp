// SPDX-License-Identifier: MIT
#include "support/NotifySocket.h"

#include "support/ChildProcess.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

NotifySocket::NotifySocket(std::string name) : m_name(std::move(name))
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (m_name.empty() || m_name.size() >= sizeof address.sun_path) {
        throw std::runtime_error("NotifySocket: unusable name " + m_name);
    }
    std::memcpy(address.sun_path, m_name.data(), m_name.size());
    const bool abstract = m_name.front() == '@';
    if (abstract) {
        address.sun_path[0] = '\0';
    }
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + m_name.size() + (abstract ? 0 : 1));
    m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        throw std::runtime_error("NotifySocket: cannot bind " + m_name + ": " + std::strerror(errno));
    }
}

NotifySocket::~NotifySocket()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (!m_name.empty() && m_name.front() == '/') {
        ::unlink(m_name.c_str());
    }
}

const std::vector<std::string>& NotifySocket::messages()
{
    char buffer[4096];
    for (ssize_t n; (n = ::recv(m_fd, buffer, sizeof buffer, 0)) >= 0;) {
        m_messages.emplace_back(buffer, static_cast<std::size_t>(n));
    }
    return m_messages;
}

std::size_t NotifySocket::count(const std::string& message)
{
    const auto& all = messages();
    return static_cast<std::size_t>(std::count(all.begin(), all.end(), message));
}

bool NotifySocket::waitFor(const std::string& message, std::size_t times, std::chrono::milliseconds bound)
{
    return WaitUntil([&] { return count(message) >= times; }, bound);
}
