// SPDX-License-Identifier: MIT
#include "posix/PosixClock.h"

#include <ctime>

LocalDateTime PosixClock::localNow() const
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::chrono::steady_clock::time_point PosixClock::steadyNow() const
{
    return std::chrono::steady_clock::now();
}
