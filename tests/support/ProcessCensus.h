// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <thread>

// What this test process holds, for tests that prove nothing leaks: open descriptors, children,
// heap bytes in use.

// Entries of /proc/self/fd (the descriptor that reads the folder itself is not counted).
int OpenDescriptors();

struct ChildCount
{
    int all = 0;
    int zombies = 0; // ended, not yet reaped
};
// The processes whose parent is this process.
ChildCount ChildrenOfThisProcess();

// Bytes the program has allocated and not freed, by the allocator in use: AddressSanitizer's own
// count in a sanitizer build, glibc's arena and mmap totals otherwise. Both count every allocation
// of every thread and library (libcurl's included), and neither counts memory freed but kept for reuse.
std::size_t HeapBytesInUse();

// Polls until `done` holds or `bound` has passed; true when it holds.
template <typename Predicate> bool Eventually(Predicate done, std::chrono::milliseconds bound)
{
    const auto until = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
