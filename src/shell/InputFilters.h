// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

// Returns keyCode when its character occurs in allowed (exact comparison), otherwise 0: the code of
// a discarded key.
std::int16_t FilterKey(std::int16_t keyCode, std::string_view allowed);

// The number formed by the text's leading ASCII digits, 0 when it has none; saturates instead of
// overflowing on a long run of digits.
long long LeadingNumber(std::string_view text);
