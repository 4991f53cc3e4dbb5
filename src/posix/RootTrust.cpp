// SPDX-License-Identifier: MIT
#include "posix/RootTrust.h"

#include "posix/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string userName(uid_t uid)
{
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return std::string(found->pw_name) + " (uid " + std::to_string(uid) + ")";
    }
    return "uid " + std::to_string(uid);
}

std::string groupName(gid_t gid)
{
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->gr_name;
    }
    return "gid " + std::to_string(gid);
}

std::string modeText(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Why someone other than root may change this entry, or nothing.
std::optional<std::string> notRootsAlone(const std::string& name, const struct stat& info, bool stickyWillDo)
{
    if (info.st_uid != 0) {
        return name + " belongs to " + userName(info.st_uid);
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (stickyWillDo && (info.st_mode & S_ISVTX) != 0)) {
        return std::nullopt;
    }
    const std::string who =
        (info.st_mode & S_IWOTH) != 0 ? "everyone" : "the members of its group " + groupName(info.st_gid);
    return name + " may be written by " + who + " (mode " + modeText(info.st_mode) + ")";
}

std::optional<std::string> untrusted(const std::string& path)
{
    if (path.empty() || path.front() != '/') {
        return path + " is not an absolute path";
    }
    std::vector<std::string> names;
    for (std::size_t start = 1; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string name = path.substr(start, end - start);
        if (name == "." || name == "..") {
            return path + " is not a plain path";
        }
        if (!name.empty()) {
            names.push_back(name);
        }
        start = end + 1;
    }
    if (names.empty()) {
        return path + " names no file";
    }

    // Each step opens the next folder in the one checked before, so what is checked is what is used.
    UniqueFd folder(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat info
    {
    };
    if (!folder || ::fstat(folder.get(), &info) != 0) {
        return std::string("/ cannot be examined: ") + std::strerror(errno);
    }
    if (auto problem = notRootsAlone("/", info, names.size() > 1)) {
        return problem;
    }
    std::string walked;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        walked += "/" + names[i];
        UniqueFd next(::openat(folder.get(), names[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next) {
            return walked + (errno == ENOTDIR ? std::string(" is a symbolic link or not a folder")
                                              : std::string(": ") + std::strerror(errno));
        }
        if (::fstat(next.get(), &info) != 0) {
            return walked + " cannot be examined: " + std::strerror(errno);
        }
        if (auto problem = notRootsAlone(walked, info, i + 2 < names.size())) {
            return problem;
        }
        folder = std::move(next);
    }
    // O_PATH: a device or a FIFO in the file's place is looked at, never opened.
    UniqueFd file(::openat(folder.get(), names.back().c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!file) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        return path + ": " + std::strerror(errno);
    }
    if (::fstat(file.get(), &info) != 0) {
        return path + " cannot be examined: " + std::strerror(errno);
    }
    if (S_ISLNK(info.st_mode)) {
        return path + " is a symbolic link";
    }
    if (!S_ISREG(info.st_mode)) {
        return path + " is not a regular file";
    }
    return notRootsAlone(path, info, false);
}

} // namespace

std::optional<std::string> RootRefusal(const std::string& settingsPath)
{
    if (::geteuid() != 0) {
        return std::nullopt;
    }
    const auto problem = untrusted(settingsPath);
    if (!problem) {
        return std::nullopt;
    }
    return "refusing to run as root, since others than root can change its settings " + settingsPath + ": " + *problem +
           ". Run Sentrybell as an operator in its group or as its service user instead; to run it as root, keep "
           "it in a folder that only root can write (and every folder above), with a SETTING.ini that belongs to "
           "root and only root can write (chown root: and chmod go-w on each).";
}
