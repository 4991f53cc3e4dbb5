// SPDX-License-Identifier: MIT
#pragma once

#include <csignal>
#include <sys/resource.h>

// Limits the size of the files this process writes while it lives, and of those of the programs it
// starts meanwhile: a write past the limit is cut short or fails, as on a full disk, for root too.
// This process ignores SIGXFSZ meanwhile; a child started with default signals gets it.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limited = m_previous;
        limited.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~ScopedFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
    bool set() const { return m_set; }

private:
    void (*m_handler)(int);
    rlimit m_previous{};
    bool m_set = false;
};
