// SPDX-License-Identifier: MIT
#include "win/WinClock.h"

#include <windows.h>

LocalDateTime WinClock::localNow() const
{
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

std::chrono::steady_clock::time_point WinClock::steadyNow() const
{
    return std::chrono::steady_clock::now();
}
