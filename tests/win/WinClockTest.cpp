// SPDX-License-Identifier: MIT
#include "win/WinClock.h"

#include <gtest/gtest.h>
#include <tuple>
#include <windows.h>

namespace {

auto fields(const LocalDateTime& t)
{
    return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

LocalDateTime fromSystemTime(const SYSTEMTIME& t)
{
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// The wall-clock time is the machine's local time, not UTC: the tests run with TZ=Asia/Tokyo so
// that the two differ by nine hours.
TEST(WinClock, LocalTimeIsTheTimeZonesTimeNotUtc)
{
    TIME_ZONE_INFORMATION zone{};
    GetTimeZoneInformation(&zone);
    ASSERT_NE(zone.Bias, 0) << "run under a time zone other than UTC (TZ=Asia/Tokyo), or this proves nothing";

    const WinClock clock;
    SYSTEMTIME before{};
    SYSTEMTIME after{};
    GetLocalTime(&before);
    const LocalDateTime now = clock.localNow();
    GetLocalTime(&after);
    EXPECT_LE(fields(fromSystemTime(before)), fields(now));
    EXPECT_LE(fields(now), fields(fromSystemTime(after)));

    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    EXPECT_NE(std::get<3>(fields(now)), utc.wHour);
}

TEST(WinClock, SteadyTimeMovesOnlyForward)
{
    const WinClock clock;
    const auto first = clock.steadyNow();
    Sleep(20);
    const auto second = clock.steadyNow();
    EXPECT_GE(second - first, std::chrono::milliseconds(15));
}

} // namespace
