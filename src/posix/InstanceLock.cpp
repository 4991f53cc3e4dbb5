// SPDX-License-Identifier: MIT
#include "posix/InstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

InstanceLock::InstanceLock(const std::string& path)
{
    // Read access is enough for flock, so an operator who cannot write the file can still lock it.
    m_fd = UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0664));
    if (!m_fd) {
        m_fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    }
    if (!m_fd) {
        return;
    }
    int result = 0;
    do {
        result = ::flock(m_fd.get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_state = State::Acquired;
    } else if (errno == EWOULDBLOCK) {
        m_state = State::HeldElsewhere;
    }
}
