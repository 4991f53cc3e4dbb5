// SPDX-License-Identifier: MIT
#pragma once

#include "common/Clock.h"

class PosixClock : public Clock
{
public:
    LocalDateTime localNow() const override;
    std::chrono::steady_clock::time_point steadyNow() const override;
    std::chrono::system_clock::time_point systemNow() const override { return std::chrono::system_clock::now(); }
};
