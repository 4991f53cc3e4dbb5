// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string>

// The local calendar time, as people read it.
struct LocalDateTime
{
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Time sources. Wall-clock time is only for the texts people read; every bound and every due time
// is measured on the monotonic clock.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual LocalDateTime localNow() const = 0;
    virtual std::chrono::steady_clock::time_point steadyNow() const = 0;
    // The wall clock as the machine's other programs read it, for time stamps that other systems
    // compare (the metrics file); never for a bound or a due time.
    virtual std::chrono::system_clock::time_point systemNow() const = 0;
};

// The date-time text of the captions and log lines: "YYYY/MM/DD HH:MM:SS", zero-padded, 24-hour.
std::string DateTimeText(const LocalDateTime& time);
