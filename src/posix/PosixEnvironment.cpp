// SPDX-License-Identifier: MIT
#include "posix/PosixEnvironment.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

std::string resolvedExecutable()
{
    std::unique_ptr<char, decltype(&std::free)> path(realpath("/proc/self/exe", nullptr), &std::free);
    return path ? std::string(path.get()) : std::string();
}

} // namespace

std::string ParentFolder(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

PosixEnvironment::PosixEnvironment(std::string executablePath)
    : m_folder(ParentFolder(executablePath.empty() ? resolvedExecutable() : executablePath))
{
}

std::string PosixEnvironment::executableFolder() const
{
    return m_folder;
}

std::string PosixEnvironment::systemFolder() const
{
    return m_folder == "/" ? std::string() : m_folder;
}

std::string PosixEnvironment::computerName() const
{
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}
