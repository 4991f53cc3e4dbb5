// SPDX-License-Identifier: MIT
#include "posix/PosixFileSystem.h"

#include "posix/PosixEnvironment.h"
#include "posix/UniqueFd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// For the files an operator names (the log, the page copy, the settings): a path that turns out to be
// a FIFO or a device must never block the window. Opening a FIFO with nobody at the other end then
// fails (writing) or reads as empty (reading), and a terminal never becomes our controlling terminal.
// Regular files ignore both flags.
constexpr int NeverBlock = O_NONBLOCK | O_NOCTTY;

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    std::string folder = ParentFolder(path);
    return folder.empty() ? std::string(".") : folder;
}

// The exact mode a new private file gets, whatever the umask says.
mode_t privateFileMode(const std::string& path, NewFileAccess access)
{
    if (access == NewFileAccess::OwnerOnly) {
        return 0600;
    }
    struct stat folder
    {
    };
    const bool setgid = ::stat(folderOf(path).c_str(), &folder) == 0 && (folder.st_mode & S_ISGID) != 0;
    return setgid ? 0660 : 0600;
}

// A path the system can be given as it is: not empty, and no NUL that would cut it short.
bool usablePath(const std::string& path)
{
    return !path.empty() && path.find('\0') == std::string::npos;
}

// A file just created in a setgid folder belongs to the folder's group: let that group write it too.
void shareWithFolderGroup(int fd, const std::string& path)
{
    struct stat folder
    {
    };
    struct stat file
    {
    };
    if (::stat(folderOf(path).c_str(), &folder) == 0 && (folder.st_mode & S_ISGID) != 0 && ::fstat(fd, &file) == 0) {
        ::fchmod(fd, (file.st_mode & 07777) | S_IRGRP | S_IWGRP);
    }
}

// A file of the given name in the same folder as path.
std::string siblingPath(const std::string& path, const std::string& name)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? name : path.substr(0, slash + 1) + name;
}

void syncFolder(const std::string& path)
{
    UniqueFd dir(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) {
        ::fsync(dir.get());
    }
}

// "<what> <path>: <the system's reason>", from errno.
std::string failureText(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

// The file a save of `path` replaces: the path itself, or for a symbolic link the file the link (or
// the chain of links) leads to, so that the link stays and its target keeps receiving the saves. A
// link is followed only when it belongs to the writer or to root: in a shared folder another user's
// link could otherwise lead this writer's save (root's, say) to any file. Nothing, with `failure`
// set, for a link that is not followed or a chain that does not end.
std::optional<std::string> fileBehindLinks(const std::string& path, std::string& failure)
{
    std::string current = path;
    for (int links = 0; links < 40; ++links) {
        struct stat info
        {
        };
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current; // a file, a folder, or nothing yet: what the rename will meet
        }
        if (info.st_uid != ::geteuid() && info.st_uid != 0) {
            failure = current + " is a symbolic link of another user (uid " + std::to_string(info.st_uid) +
                      "), which a save does not follow";
            return std::nullopt;
        }
        char target[4096];
        const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof target) {
            failure = failureText("cannot read the symbolic link", current);
            return std::nullopt;
        }
        const std::string next(target, static_cast<std::size_t>(length));
        current = next.front() == '/' ? next : folderOf(current) + "/" + next;
    }
    failure = path + ": too many levels of symbolic links";
    return std::nullopt;
}

// A staged file starts writing back to disk after each step of this many bytes.
constexpr std::size_t WritebackStep = std::size_t{8} << 20;

// Whether a commit makes the new file last through a crash of the machine (FileSystem::stageFile says
// when that is not worth its cost).
enum class Durability
{
    Synced,
    CacheOnly,
};

class PosixStagedFile : public StagedFile
{
public:
    PosixStagedFile(PosixFileSystem& files, std::string target, std::string temporary, UniqueFd fd,
                    Durability durability)
        : m_files(files), m_target(std::move(target)), m_temporary(std::move(temporary)), m_fd(std::move(fd)),
          m_durability(durability)
    {
    }
    ~PosixStagedFile() override
    {
        if (!m_committed) {
            m_fd.reset();
            ::unlink(m_temporary.c_str());
        }
    }
    PosixStagedFile(const PosixStagedFile&) = delete;
    PosixStagedFile& operator=(const PosixStagedFile&) = delete;

    int fd() const { return m_fd.get(); }

    // Why the write or the commit failed, naming the file.
    const std::string& failure() const { return m_failure; }

    bool write(std::string_view bytes) override
    {
        if (m_ok && !writeAll(m_fd.get(), bytes)) {
            m_ok = false;
            m_failure = failureText("cannot write", m_temporary);
        }
        m_written += bytes.size();
        if (m_ok && m_durability == Durability::Synced && m_written - m_flushed >= WritebackStep) {
            // Start the disk writes now rather than all at once in commit()'s fsync: a large file then
            // costs little more to commit than to write. Only a hint; the fsync still decides.
            ::sync_file_range(m_fd.get(), static_cast<off_t>(m_flushed), static_cast<off_t>(m_written - m_flushed),
                              SYNC_FILE_RANGE_WRITE);
            m_flushed = m_written;
        }
        return m_ok;
    }

    bool commit() override
    {
        if (!m_ok) {
            return false;
        }
        const bool synced = m_durability == Durability::CacheOnly || ::fsync(m_fd.get()) == 0;
        if (!synced || m_fd.close() != 0) {
            m_failure = failureText("cannot write", m_temporary);
            return false;
        }
        const bool renamed =
            m_durability == Durability::CacheOnly ? exchangeIntoPlace() : m_files.renameOver(m_temporary, m_target);
        if (!renamed) {
            m_failure = failureText("cannot rename " + m_temporary + " to", m_target);
            return false;
        }
        m_committed = true;
        if (m_durability == Durability::Synced) {
            syncFolder(m_target);
        }
        return true;
    }

private:
    // The rename of a file that is not synced. Renamed over an existing file, ext4 (with its default
    // auto_da_alloc) starts writing the new file's data out there and then, at a cost of about a
    // request's processor time, which is what an fsync would have bought. Exchanged with it instead
    // (one step for readers too), and the old file then removed, it writes back in its own time.
    // A new copy, anything but a regular file in the copy's place, or a file system that cannot
    // exchange take the plain rename.
    bool exchangeIntoPlace()
    {
        struct stat target
        {
        };
        if (::lstat(m_target.c_str(), &target) == 0 && S_ISREG(target.st_mode) &&
            ::renameat2(AT_FDCWD, m_temporary.c_str(), AT_FDCWD, m_target.c_str(), RENAME_EXCHANGE) == 0) {
            ::unlink(m_temporary.c_str()); // the old copy, under the temporary's name
            return true;
        }
        return m_files.renameOver(m_temporary, m_target);
    }

    PosixFileSystem& m_files;
    std::string m_target;
    std::string m_temporary;
    UniqueFd m_fd;
    Durability m_durability;
    bool m_ok = true;
    bool m_committed = false;
    std::string m_failure;
    std::size_t m_written = 0;
    std::size_t m_flushed = 0; // bytes whose writeback has been started
};

// Creates the temporary afresh: a stale one left by a crash is removed first, so the new file never
// inherits another file's owner, mode or open readers.
std::unique_ptr<PosixStagedFile> openStaged(PosixFileSystem& files, const std::string& path,
                                            const std::string& temporaryName, mode_t createMode, Durability durability)
{
    const std::string temporary = siblingPath(path, temporaryName);
    const auto create = [&] {
        return UniqueFd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, createMode));
    };
    UniqueFd fd = create();
    if (!fd && errno == EEXIST) {
        ::unlink(temporary.c_str());
        fd = create();
    }
    if (!fd) {
        return nullptr;
    }
    return std::make_unique<PosixStagedFile>(files, path, temporary, std::move(fd), durability);
}

} // namespace

PosixFileSystem::PosixFileSystem(std::function<void(const std::string&)> report) : m_report(std::move(report))
{
    if (!m_report) {
        m_report = [](const std::string& text) { std::fprintf(stderr, "sentrybell: %s\n", text.c_str()); };
    }
}

bool PosixFileSystem::fileExists(const std::string& path) const
{
    struct stat info
    {
    };
    return usablePath(path) && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PosixFileSystem::entryExists(const std::string& path) const
{
    struct stat info
    {
    };
    return usablePath(path) && ::stat(path.c_str(), &info) == 0;
}

bool PosixFileSystem::appendToFile(const std::string& path, std::string_view bytes)
{
    if (!usablePath(path)) {
        return false;
    }
    // The log is only ever a regular file reached without a link: a link planted in a shared folder
    // would otherwise turn a root run's failure lines into writes to any file, and "appending" to a
    // device overwrites its first bytes. A path that is already something else is not even opened.
    struct stat info
    {
    };
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        refuseLog(path, info.st_mode);
        return false;
    }
    // The log of a shared install lies in a setgid, sticky folder that several operators and the
    // service write to. An existing file is opened without O_CREAT, so another member's log is
    // appended to through the group's rights (the kernel may refuse O_CREAT on another user's file in
    // a sticky folder); a file made here is given the group's write right in such a folder, so the
    // next writer can append to it whatever this writer's umask was.
    constexpr int Append = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | NeverBlock;
    UniqueFd fd(::open(path.c_str(), Append));
    if (!fd && errno == ENOENT) {
        fd = UniqueFd(::open(path.c_str(), Append | O_CREAT | O_EXCL, 0666));
        if (fd) {
            shareWithFolderGroup(fd.get(), path);
        } else if (errno == EEXIST) {
            fd = UniqueFd(::open(path.c_str(), Append));
        }
    }
    if (!fd) {
        if (errno == ELOOP) {
            refuseLog(path, S_IFLNK);
        }
        return false;
    }
    // The path may have changed between the look and the open: the open file decides.
    if (::fstat(fd.get(), &info) != 0) {
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        refuseLog(path, info.st_mode);
        return false;
    }
    if (!writeAll(fd.get(), bytes)) {
        // A full disk took part of the line: cut it off, so that the log loses the line whole and the
        // next one starts on a line of its own.
        if (::ftruncate(fd.get(), info.st_size) == 0) {
            m_report("log \"" + path + "\": the line did not fit on the disk and was left out");
        } else {
            m_report("log \"" + path + "\": the line did not fit on the disk, and its beginning could not be cut off");
        }
        return false;
    }
    return fd.close() == 0;
}

void PosixFileSystem::refuseLog(const std::string& path, mode_t type) const
{
    const char* what = S_ISLNK(type)    ? "a symbolic link"
                       : S_ISDIR(type)  ? "a folder"
                       : S_ISFIFO(type) ? "a FIFO"
                       : S_ISSOCK(type) ? "a socket"
                                        : "a device";
    m_report("log \"" + path + "\" is " + what + ", not a regular file: nothing was written to it");
}

bool PosixFileSystem::createIfMissing(const std::string& path)
{
    if (!usablePath(path)) {
        return false;
    }
    // A link in the file's place is not followed: O_CREAT would make its target, wherever it points.
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | NeverBlock, 0666));
    return fd && fd.close() == 0;
}

std::optional<std::string> PosixFileSystem::readFile(const std::string& path, std::size_t maxBytes) const
{
    if (!usablePath(path)) {
        return std::nullopt;
    }
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | NeverBlock));
    if (!fd) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    while (content.size() < maxBytes) {
        const ssize_t n = ::read(fd.get(), buffer, std::min(sizeof buffer, maxBytes - content.size()));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    return content;
}

bool PosixFileSystem::replaceFile(const std::string& linkOrFile, std::string_view content, NewFileAccess access)
{
    m_lastFailure.clear();
    if (!usablePath(linkOrFile)) {
        m_lastFailure = "no usable path";
        return false;
    }
    // Through a symbolic link, the target is replaced in its own folder, atomically as any file.
    const auto target = fileBehindLinks(linkOrFile, m_lastFailure);
    if (!target) {
        return false;
    }
    const std::string& path = *target;
    const auto slash = path.rfind('/');
    const std::string temporaryName = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp";
    // The temporary gets the final file's owner and mode before any secret is written into it. An
    // existing file keeps its mode, and its owner where the process may give it (root), so that
    // replacing it does not take it from its operator. An ordinary new file gets what the umask
    // leaves of 0666, as open() gives it; a private one its exact mode; a public one 0644 always, since
    // its readers are other programs that may run as anyone.
    struct stat existing
    {
    };
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    std::optional<mode_t> exactMode;
    if (access == NewFileAccess::Public) {
        exactMode = 0644;
    } else if (exists) {
        exactMode = existing.st_mode & 07777;
    } else if (access != NewFileAccess::Ordinary) {
        exactMode = privateFileMode(path, access);
    }
    auto staged = openStaged(*this, path, temporaryName, exactMode ? 0600 : 0666, Durability::Synced);
    if (!staged) {
        m_lastFailure = failureText("cannot create", siblingPath(path, temporaryName));
        return false;
    }
    if (exists && ::fchown(staged->fd(), existing.st_uid, existing.st_gid) != 0) {
        // Not permitted: the file becomes the writer's, as any new file would.
    }
    if (exactMode && ::fchmod(staged->fd(), *exactMode) != 0) {
        m_lastFailure = failureText("cannot set the mode of", siblingPath(path, temporaryName));
        return false;
    }
    if (!staged->write(content) || !staged->commit()) {
        m_lastFailure = staged->failure();
        return false;
    }
    return true;
}

std::unique_ptr<StagedFile> PosixFileSystem::stageFile(const std::string& path, const std::string& temporaryName)
{
    if (!usablePath(path)) {
        return nullptr;
    }
    // An ordinary file (the page copy): what the umask leaves, and in a setgid folder shared with
    // the folder's group, so that every operator of a shared install may read the copy.
    auto staged = openStaged(*this, path, temporaryName, 0666, Durability::CacheOnly);
    if (staged) {
        shareWithFolderGroup(staged->fd(), path);
    }
    return staged;
}

bool PosixFileSystem::renameOver(const std::string& temporary, const std::string& target)
{
    return ::rename(temporary.c_str(), target.c_str()) == 0;
}
