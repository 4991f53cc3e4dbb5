// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string>
#include <vector>

// The supervisor's end of systemd's notification protocol: an AF_UNIX datagram socket bound where a
// test chooses (a path, or an abstract name given with a leading "@", as NOTIFY_SOCKET writes it),
// keeping every message that arrives.
class NotifySocket
{
public:
    // Throws std::runtime_error when the socket cannot be bound.
    explicit NotifySocket(std::string name);
    ~NotifySocket();
    NotifySocket(const NotifySocket&) = delete;
    NotifySocket& operator=(const NotifySocket&) = delete;

    // What NOTIFY_SOCKET must say for a service to reach this socket.
    const std::string& name() const { return m_name; }
    // Every message received so far, in order.
    const std::vector<std::string>& messages();
    // How many of the messages so far are exactly `message`.
    std::size_t count(const std::string& message);
    // Waits at most `bound` until `message` has arrived `times` times in all.
    bool waitFor(const std::string& message, std::size_t times, std::chrono::milliseconds bound);

private:
    std::string m_name;
    int m_fd = -1;
    std::vector<std::string> m_messages;
};
