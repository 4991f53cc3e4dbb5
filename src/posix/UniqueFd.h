// SPDX-License-Identifier: MIT
#pragma once

#include <unistd.h>
#include <utility>

// Owns a file descriptor and closes it once.
class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    explicit operator bool() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    void reset() { (void)close(); }
    // Closes now and returns close()'s result, so that a failed flush to disk is seen.
    int close()
    {
        if (m_fd < 0) {
            return 0;
        }
        return ::close(std::exchange(m_fd, -1));
    }

private:
    int m_fd = -1;
};
