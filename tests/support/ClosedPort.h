// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

// A loopback port that refuses every connection: bound, so that nobody else can take it while the
// test runs, but never listening, so that a connection attempt is answered with a reset at once.
class ClosedPort
{
public:
    // Throws std::runtime_error when no port can be bound.
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    std::uint16_t port() const { return m_port; }
    // "127.0.0.1:<port>".
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    int m_fd = -1;
    std::uint16_t m_port = 0;
};
