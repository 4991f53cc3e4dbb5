// SPDX-License-Identifier: MIT
#include "config/FieldRules.h"

namespace {

// ASCII digits only, naming 1 to MaxSeconds; in milliseconds.
std::optional<std::int32_t> wholeSeconds(std::string_view text)
{
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > MaxSeconds) {
            return std::nullopt; // already too large, however the rest reads
        }
    }
    if (value < 1) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value * 1000);
}

bool isStoredOne(std::string_view text)
{
    const auto first = text.find_first_not_of('0');
    return first != std::string_view::npos && text.substr(first) == "1";
}

} // namespace

std::optional<std::int32_t> TimeoutMilliseconds(std::string_view text)
{
    return wholeSeconds(text);
}

std::optional<std::int32_t> TimerMilliseconds(std::string_view text)
{
    return wholeSeconds(text);
}

int KidouValue(std::string_view text)
{
    return isStoredOne(text) ? 1 : 0;
}

int LoginValue(std::string_view text)
{
    return isStoredOne(text) ? 1 : 0;
}

int RestartOption(std::string_view text)
{
    return isStoredOne(text) ? 1 : 0;
}
