// SPDX-License-Identifier: MIT
#include "support/ProcessCensus.h"

#include "support/Files.h"

#include <dirent.h>
#include <malloc.h>
#include <sstream>
#include <string>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's own count; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

bool allDigits(const std::string& name)
{
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

int OpenDescriptors()
{
    DIR* folder = ::opendir("/proc/self/fd");
    if (folder == nullptr) {
        return -1;
    }
    int count = 0;
    while (const dirent* entry = ::readdir(folder)) {
        count += allDigits(entry->d_name) ? 1 : 0;
    }
    ::closedir(folder);
    return count - 1; // the folder's own descriptor
}

ChildCount ChildrenOfThisProcess()
{
    ChildCount result;
    const std::string self = std::to_string(::getpid());
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) {
        return result;
    }
    while (const dirent* entry = ::readdir(proc)) {
        const std::string name = entry->d_name;
        if (!allDigits(name)) {
            continue;
        }
        const std::string stat = ReadWholeFile("/proc/" + name + "/stat");
        // "pid (comm) state ppid ...": comm may hold spaces and parentheses, so read after the last ')'.
        const auto close = stat.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream rest(stat.substr(close + 1));
        std::string state, ppid;
        rest >> state >> ppid;
        if (ppid == self) {
            ++result.all;
            result.zombies += state == "Z" ? 1 : 0;
        }
    }
    ::closedir(proc);
    return result;
}

std::size_t HeapBytesInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}
