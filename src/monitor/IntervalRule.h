// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The longest repeat interval, in seconds, whose milliseconds fit a signed 32-bit number.
inline constexpr std::int32_t MaxIntervalSeconds = 2147483;

// The one rule for a repeat-interval text: ASCII digits only (leading zeros allowed; no sign, point,
// exponent or blank), naming 1 to 2147483 seconds. Returns the interval in milliseconds, or nothing
// for any other text. A timer is never given zero or a negative interval: it would fire without
// pause, spin the processor and flood the watched server.
std::optional<std::int32_t> IntervalMilliseconds(std::string_view seconds);
