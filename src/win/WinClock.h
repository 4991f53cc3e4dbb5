// SPDX-License-Identifier: MIT
#pragma once

#include "common/Clock.h"

// Local time from the system (GetLocalTime, in the machine's time zone); bounds on the monotonic clock.
class WinClock : public Clock
{
public:
    LocalDateTime localNow() const override;
    std::chrono::steady_clock::time_point steadyNow() const override;
};
