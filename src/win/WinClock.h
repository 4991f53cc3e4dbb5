// SPDX-License-Identifier: MIT
#pragma once

#include "common/Clock.h"

// Local time from the system (GetLocalTime, in the machine's time zone); bounds on the monotonic clock.
class WinClock : public Clock
{
public:
    LocalDateTime localNow() const override;
    std::chrono::steady_clock::time_point steadyNow() const override;
    std::chrono::system_clock::time_point systemNow() const override { return std::chrono::system_clock::now(); }
};
