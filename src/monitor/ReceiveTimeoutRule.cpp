// SPDX-License-Identifier: MIT
#include "monitor/ReceiveTimeoutRule.h"

#include <algorithm>
#include <limits>

namespace {

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::optional<std::int32_t> ReceiveTimeoutMilliseconds(std::string_view seconds)
{
    const auto point = seconds.find('.');
    const std::string_view whole = seconds.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : seconds.substr(point + 1);
    if (!allDigits(whole) || !allDigits(fraction)) {
        return std::nullopt; // a sign, a blank, an exponent or a second point
    }
    if (point == std::string_view::npos ? whole.empty() : fraction.empty()) {
        return std::nullopt; // no digits at all, or a point with nothing after it
    }

    constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    // Exact decimal arithmetic: whole seconds and the first three decimals are whole milliseconds.
    std::int64_t ms = 0;
    for (char c : whole) {
        ms = ms * 10 + (c - '0');
        if (ms > limit / 1000 + 1) {
            return std::nullopt; // already past the limit, however the rest reads
        }
    }
    for (std::size_t i = 0; i < 3; ++i) {
        ms = ms * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    }

    // The decimals beyond the third decide the rounding, ties to the even millisecond.
    const std::string_view rest = fraction.size() > 3 ? fraction.substr(3) : std::string_view{};
    if (!rest.empty()) {
        const bool aboveHalf =
            rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string_view::npos);
        const bool half = rest[0] == '5' && !aboveHalf;
        if (aboveHalf || (half && ms % 2 != 0)) {
            ++ms;
        }
    }
    if (ms < 1 || ms > limit) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(ms);
}
