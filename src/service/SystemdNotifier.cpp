// SPDX-License-Identifier: MIT
#include "service/SystemdNotifier.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

std::string takeVariable(const char* name)
{
    const char* value = std::getenv(name);
    std::string taken = value != nullptr ? value : "";
    ::unsetenv(name);
    return taken;
}

// A whole positive number, or nothing.
std::optional<unsigned long long> positiveNumber(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 19) {
        return std::nullopt;
    }
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    return value > 0 ? std::optional(value) : std::nullopt;
}

} // namespace

SystemdNotifier SystemdNotifier::fromEnvironment()
{
    const std::string socketName = takeVariable("NOTIFY_SOCKET");
    const auto period = positiveNumber(takeVariable("WATCHDOG_USEC"));
    const std::string pid = takeVariable("WATCHDOG_PID");
    // The watchdog of another process (a parent that started this one) is not ours to keep alive.
    const bool ours = pid.empty() || positiveNumber(pid) == static_cast<unsigned long long>(::getpid());
    return SystemdNotifier(socketName, std::chrono::microseconds(period && ours ? *period : 0));
}

SystemdNotifier::SystemdNotifier(const std::string& socketName, std::chrono::microseconds watchdog)
{
    if (watchdog.count() > 0) {
        m_watchdog = watchdog;
    }
    // A path must be absolute; an abstract name is written with "@" in place of its leading NUL.
    if (socketName.size() < 2 || socketName.size() >= sizeof m_address.sun_path ||
        (socketName[0] != '/' && socketName[0] != '@')) {
        return;
    }
    m_address.sun_family = AF_UNIX;
    std::memcpy(m_address.sun_path, socketName.data(), socketName.size());
    if (socketName[0] == '@') {
        m_address.sun_path[0] = '\0';
    }
    m_addressLength =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + socketName.size() + (socketName[0] == '/' ? 1 : 0));
    m_socket = UniqueFd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
}

bool SystemdNotifier::notify(std::string_view message) const
{
    if (!m_socket) {
        return false;
    }
    // Never waits: a supervisor too busy to take a message must not stall the watchdog's own work.
    const ssize_t sent = ::sendto(m_socket.get(), message.data(), message.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&m_address), m_addressLength);
    return sent == static_cast<ssize_t>(message.size());
}
