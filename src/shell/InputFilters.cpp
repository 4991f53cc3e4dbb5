// SPDX-License-Identifier: MIT
#include "shell/InputFilters.h"

#include "shell/Form1.h"

#include <limits>
#include <optional>
#include <string>

namespace {

constexpr std::string_view Digits = "0123456789";
constexpr std::int16_t KeyEnter = 13;
constexpr std::int16_t KeyBackspace = 8;
constexpr std::int16_t KeyZero = 48;

std::size_t characterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0U) != 0x80U) {
            ++count;
        }
    }
    return count;
}

// The seven rules keep a value typed from left to right within 1 to 60. Each rule judges the text
// before the key, not the text that would result.
void filterSecondsKey(const TextBox& box, std::int16_t& keyCode)
{
    const std::string& text = box.Text();
    const bool replacesAll = text.empty() || static_cast<std::size_t>(box.SelLength()) == characterCount(text);
    const long long value = LeadingNumber(text);

    if (keyCode == KeyEnter) {
        keyCode = 0;
    } else if (keyCode == KeyBackspace) {
        // always allowed
    } else if (replacesAll && keyCode == KeyZero) {
        keyCode = 0;
    } else if (replacesAll) {
        keyCode = FilterKey(keyCode, Digits);
    } else if (value == 6 && keyCode > KeyZero) {
        keyCode = 0;
    } else if (value > 6) {
        keyCode = 0;
    } else {
        keyCode = FilterKey(keyCode, Digits);
    }
}

// A whole number with an optional sign; nothing for any other text.
std::optional<long long> wholeNumber(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.find_first_not_of(Digits) != std::string_view::npos) {
        return std::nullopt;
    }
    const long long magnitude = LeadingNumber(text);
    return negative ? -magnitude : magnitude;
}

} // namespace

std::int16_t FilterKey(std::int16_t keyCode, std::string_view allowed)
{
    // allowed is decoded from UTF-8 so that a non-ASCII character can be listed too.
    std::size_t i = 0;
    while (i < allowed.size()) {
        const auto lead = static_cast<unsigned char>(allowed[i]);
        const std::size_t length = lead < 0x80U ? 1 : lead < 0xE0U ? 2 : lead < 0xF0U ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x3FU >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < allowed.size(); ++k) {
            code = (code << 6U) | (static_cast<unsigned char>(allowed[i + k]) & 0x3FU);
        }
        if (code == static_cast<std::uint16_t>(keyCode)) {
            return keyCode;
        }
        i += length;
    }
    return 0;
}

long long LeadingNumber(std::string_view text)
{
    constexpr long long limit = std::numeric_limits<long long>::max() / 10;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value >= limit ? std::numeric_limits<long long>::max() : value * 10 + (c - '0');
    }
    return value;
}

void Form1::txtTimeout_KeyPress(std::int16_t& keyCode)
{
    filterSecondsKey(txtTimeout, keyCode);
}

void Form1::txtTimer_KeyPress(std::int16_t& keyCode)
{
    filterSecondsKey(txtTimer, keyCode);
}

// Holds the receive timeout within 1 to 60 seconds. Text that is not a whole number (an emptied
// field, a paste) is left for the operator to mend; the completeness check keeps the timer off.
void Form1::txtTimeout_LostFocus()
{
    if (auto value = wholeNumber(txtTimeout.Text()); value && *value > 60) {
        txtTimeout.Text = "60";
    }
    if (auto value = wholeNumber(txtTimeout.Text()); value && *value < 1) {
        txtTimeout.Text = "1";
    }
}
