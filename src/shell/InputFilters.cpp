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
// What a byte that starts no valid character decodes to: no key has this code.
constexpr std::uint32_t NotACharacter = 0xFFFFFFFFU;

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

// The code point that starts at `i`, and advances `i` past it.
std::uint32_t nextCodePoint(std::string_view utf8, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80U ? 1 : lead < 0xC0U ? 0 : lead < 0xE0U ? 2 : lead < 0xF0U ? 3 : 4;
    if (length == 0 || i + length > utf8.size()) {
        ++i;
        return NotACharacter;
    }
    std::uint32_t code = length == 1 ? lead : lead & (0x3FU >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
        code = (code << 6U) | (static_cast<unsigned char>(utf8[i + k]) & 0x3FU);
    }
    i += length;
    return code;
}

std::size_t characterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (char c : utf8) {
        if (!isContinuation(c)) {
            ++count;
        }
    }
    return count;
}

// The seven rules keep a value typed from left to right within 1 to 60. Each rule judges the text
// before the key (and whether the key replaces all of it), not the text that would result.
std::int16_t secondsKey(std::string_view text, bool replacesAll, std::int16_t keyCode)
{
    const long long value = LeadingNumber(text);
    if (keyCode == KeyEnter) {
        return 0;
    }
    if (keyCode == KeyBackspace) {
        return keyCode; // always allowed
    }
    if (replacesAll) {
        return keyCode == KeyZero ? std::int16_t{0} : FilterKey(keyCode, Digits);
    }
    if ((value == 6 && keyCode > KeyZero) || value > 6) {
        return 0;
    }
    return FilterKey(keyCode, Digits);
}

void filterSecondsKey(const TextBox& box, std::int16_t& keyCode)
{
    const std::string& text = box.Text();
    const bool replacesAll = text.empty() || static_cast<std::size_t>(box.SelLength()) == characterCount(text);
    keyCode = secondsKey(text, replacesAll, keyCode);
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
    for (std::size_t i = 0; i < allowed.size();) {
        if (nextCodePoint(allowed, i) == static_cast<std::uint16_t>(keyCode)) {
            return keyCode;
        }
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

bool IsKeyFilterCharacter(std::uint32_t code)
{
    return code != 9 && code != 27 && code != 127;
}

TextEdit FilterSecondsFieldEdit(std::string_view before, std::string_view after)
{
    // What lies between the common head and the common tail (at character boundaries) is what the
    // edit put in place of what lay there before.
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) {
        ++head;
    }
    while (head > 0 && ((head < after.size() && isContinuation(after[head])) ||
                        (head < before.size() && isContinuation(before[head])))) {
        --head;
    }
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    while (tail > 0 && isContinuation(after[after.size() - tail])) {
        --tail;
    }
    const std::string_view prefix = before.substr(0, head);
    const std::string_view replaced = before.substr(head, before.size() - head - tail);
    const std::string_view suffix = before.substr(before.size() - tail);
    const std::string_view inserted = after.substr(head, after.size() - head - tail);
    if (inserted.empty()) {
        return {std::string(after), head};
    }

    std::string accepted;
    for (std::size_t i = 0; i < inserted.size();) {
        const std::size_t start = i;
        const std::uint32_t code = nextCodePoint(inserted, i);
        if (code < 0x20U || code == 0x7FU || code > 0xFFFFU) {
            continue; // not a character typed into a field
        }
        // The first character typed replaces what the edit replaced; the next ones follow it.
        const std::string text =
            accepted.empty() ? std::string(before) : std::string(prefix) + accepted + std::string(suffix);
        const bool replacesAll = text.empty() || (accepted.empty() && replaced.size() == before.size());
        if (secondsKey(text, replacesAll, static_cast<std::int16_t>(code)) != 0) {
            accepted.append(inserted.substr(start, i - start));
        }
    }
    if (accepted.empty()) {
        return {std::string(before), head};
    }
    return {std::string(prefix) + accepted + std::string(suffix), head + accepted.size()};
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
// field) is left for the operator to mend; the completeness check keeps the timer off.
void Form1::txtTimeout_LostFocus()
{
    if (auto value = wholeNumber(txtTimeout.Text()); value && *value > 60) {
        txtTimeout.Text = "60";
    }
    if (auto value = wholeNumber(txtTimeout.Text()); value && *value < 1) {
        txtTimeout.Text = "1";
    }
}
