// SPDX-License-Identifier: MIT
#pragma once

#include "posix/UniqueFd.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>

// The service's side of systemd's notification protocol (sd_notify(3)), spoken directly rather than
// through libsystemd, whose dependencies (the compression and crypto libraries) would weigh more in
// the service's memory than the whole protocol: one datagram per message to the AF_UNIX socket that
// NOTIFY_SOCKET names (a path, or an abstract name written with a leading "@"), the message being
// lines of VARIABLE=value ("READY=1", "STATUS=...", "WATCHDOG=1"). Without a socket (a start by hand)
// every message goes nowhere.
class SystemdNotifier
{
public:
    // From what systemd puts in a Type=notify service's environment: NOTIFY_SOCKET, and WATCHDOG_USEC
    // when WatchdogSec= is set (WATCHDOG_PID, when set, must be this process). The three variables are
    // then removed, so that the commands the program starts do not speak for the service.
    static SystemdNotifier fromEnvironment();

    // `watchdog`: how often systemd wants a keepalive; zero when it does not watch.
    SystemdNotifier(const std::string& socketName, std::chrono::microseconds watchdog);

    // Sends one message without waiting; false when there is no socket or the message was not taken.
    bool notify(std::string_view message) const;
    // The watchdog's period, when systemd watches this process.
    std::optional<std::chrono::microseconds> watchdogPeriod() const { return m_watchdog; }

private:
    UniqueFd m_socket;
    sockaddr_un m_address{};
    socklen_t m_addressLength = 0;
    std::optional<std::chrono::microseconds> m_watchdog;
};
