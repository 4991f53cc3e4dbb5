// SPDX-License-Identifier: MIT
#include "support/Files.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

void WriteFile(const std::string& path, const std::string& content, std::optional<std::filesystem::perms> mode)
{
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush()) {
            throw std::runtime_error("cannot write " + path);
        }
    }
    if (mode) {
        std::filesystem::permissions(path, *mode);
    }
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

mode_t ModeOf(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

ScopedUmask::ScopedUmask(mode_t mask) : m_previous(::umask(mask)) {}

ScopedUmask::~ScopedUmask()
{
    ::umask(m_previous);
}
