// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The one rule for a receive-timeout text: a decimal number of seconds made of ASCII digits with at
// most one decimal point, which must be followed by digits (no sign, exponent or blank). Times 1000,
// rounded half to even, it must give 1 to 2147483647 milliseconds. Returns the milliseconds, or
// nothing for any other text. The settings file can hold anything, and an HTTP library takes zero
// as "no timeout": a stalled server would then freeze the watchdog for good.
std::optional<std::int32_t> ReceiveTimeoutMilliseconds(std::string_view seconds);
