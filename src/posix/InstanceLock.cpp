// SPDX-License-Identifier: MIT
#include "posix/InstanceLock.h"

#include "posix/PosixEnvironment.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

// O_NONBLOCK: a FIFO in the lock's place must not hold the start.
constexpr int OpenFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;

// The group's read and write in a setgid folder, the owner's alone elsewhere.
mode_t lockMode(const std::string& path)
{
    const std::string folder = ParentFolder(path);
    struct stat info
    {
    };
    const bool setgid = ::stat(folder.empty() ? "." : folder.c_str(), &info) == 0 && (info.st_mode & S_ISGID) != 0;
    return setgid ? 0660 : 0600;
}

} // namespace

InstanceLock::InstanceLock(const std::string& path)
{
    const mode_t mode = lockMode(path);
    m_fd = UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | OpenFlags, 0600));
    if (m_fd) {
        ::fchmod(m_fd.get(), mode); // exactly, whatever the umask took away
    } else if (errno == EEXIST) {
        m_fd = UniqueFd(::open(path.c_str(), O_RDWR | OpenFlags));
        if (!m_fd && errno == EACCES) {
            // Read access is enough for flock, so an operator who cannot write the file can still lock it.
            m_fd = UniqueFd(::open(path.c_str(), O_RDONLY | OpenFlags));
        }
    }
    if (!m_fd) {
        fail(path, errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
        return;
    }
    struct stat info
    {
    };
    if (::fstat(m_fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        fail(path, "it is not a regular file");
        return;
    }
    // A lock file of this user's left open to others (an older install made them 0664) is closed to them.
    if (info.st_uid == ::geteuid() && (info.st_mode & 07777) != mode) {
        ::fchmod(m_fd.get(), mode);
    }
    int result = 0;
    do {
        result = ::flock(m_fd.get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_state = State::Acquired;
    } else if (errno == EWOULDBLOCK) {
        m_state = State::HeldElsewhere;
    } else {
        fail(path, std::strerror(errno));
    }
}

void InstanceLock::fail(const std::string& path, const std::string& why)
{
    m_fd.reset();
    m_state = State::Unavailable;
    m_problem = "cannot make or take the lock \"" + path + "\": " + why;
}
