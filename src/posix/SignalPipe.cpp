// SPDX-License-Identifier: MIT
#include "posix/SignalPipe.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

// The write end, for the handler; -1 while no SignalPipe lives.
volatile sig_atomic_t g_writeFd = -1;

void onSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    // Non-blocking: when the pipe is full, signals enough are already waiting to be taken.
    (void)::write(g_writeFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalPipe::SignalPipe(std::initializer_list<int> signals)
{
    if (g_writeFd != -1) {
        throw std::logic_error("SignalPipe: one at a time");
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error("SignalPipe: no pipe");
    }
    m_read = UniqueFd(ends[0]);
    m_write = UniqueFd(ends[1]);
    g_writeFd = m_write.get();
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Calls interrupted by a signal resume, so no read or write of the program sees EINTR for it.
    action.sa_flags = SA_RESTART;
    for (const int number : signals) {
        struct sigaction previous
        {
        };
        if (::sigaction(number, &action, &previous) == 0) {
            m_previous.emplace_back(number, previous);
        }
    }
}

SignalPipe::~SignalPipe()
{
    for (const auto& [number, previous] : m_previous) {
        ::sigaction(number, &previous, nullptr);
    }
    g_writeFd = -1;
}

std::vector<int> SignalPipe::take()
{
    std::vector<int> taken;
    unsigned char bytes[64];
    for (;;) {
        const ssize_t n = ::read(m_read.get(), bytes, sizeof bytes);
        if (n > 0) {
            taken.insert(taken.end(), bytes, bytes + n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return taken;
        }
    }
}

void IgnoreFailedWriteSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, nullptr);
    ::sigaction(SIGXFSZ, &action, nullptr);
}
