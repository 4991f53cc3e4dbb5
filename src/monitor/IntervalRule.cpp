// SPDX-License-Identifier: MIT
#include "monitor/IntervalRule.h"

std::optional<std::int32_t> IntervalMilliseconds(std::string_view seconds)
{
    if (seconds.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : seconds) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > MaxIntervalSeconds) {
            return std::nullopt;
        }
    }
    if (value < 1) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value * 1000);
}
