// SPDX-License-Identifier: MIT
#include "config/IniText.h"

#include <vector>

namespace {

struct Line
{
    std::string_view text;   // without its line end
    std::string_view ending; // "\r\n", "\n", or "" for a last line without one
};

// ^Z too: the DOS end-of-file mark that old editors leave after the last line.
constexpr std::string_view Blanks = " \t\r\v\f\x1a";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::vector<Line> splitLines(std::string_view file)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < file.size()) {
        const auto lf = file.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back({file.substr(start), {}});
            break;
        }
        const std::size_t end = (lf > start && file[lf - 1] == '\r') ? lf - 1 : lf;
        lines.push_back({file.substr(start, end - start), file.substr(end, lf + 1 - end)});
        start = lf + 1;
    }
    return lines;
}

std::string_view trim(std::string_view s)
{
    const auto first = s.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(Blanks) - first + 1);
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// The name of a "[name]" line, or nothing for any other line. The name runs to the line's last "]",
// so that no byte of a double-byte character (whose second byte may be "]") ends it early.
std::optional<std::string_view> headerName(std::string_view text)
{
    const std::string_view lead = trim(text);
    if (lead.empty() || lead.front() != '[') {
        return std::nullopt;
    }
    const auto close = lead.rfind(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(lead.substr(1, close - 1));
}

// Where a "KEY=value" line's value starts, when the line names the key.
std::optional<std::size_t> valueStartFor(std::string_view text, std::string_view key)
{
    const std::string_view lead = trim(text);
    if (lead.empty() || lead.front() == ';') {
        return std::nullopt;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos || !sameName(trim(text.substr(0, equals)), key)) {
        return std::nullopt;
    }
    return equals + 1;
}

struct Search
{
    std::optional<std::size_t> keyLine;    // the line of the key
    std::size_t valueStart = 0;            // offset of its value in the line's text
    std::optional<std::size_t> sectionEnd; // the last non-blank line of the first such section
};

Search search(const std::vector<Line>& lines, std::string_view section, std::string_view key)
{
    Search found;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view text = lines[i].text;
        // A byte-order mark before the first line is not part of its text.
        const std::size_t skip =
            (i == 0 && text.substr(0, ByteOrderMark.size()) == ByteOrderMark) ? ByteOrderMark.size() : 0;
        text.remove_prefix(skip);
        if (const auto name = headerName(text)) {
            // Only the first section of the name counts: the profile API never looks into a later
            // one, so a key found (and saved) there would be a key the system does not see.
            inSection = !found.sectionEnd && sameName(*name, section);
            if (inSection) {
                found.sectionEnd = i;
            } else if (found.sectionEnd) {
                return found;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!trim(text).empty()) {
            found.sectionEnd = i;
        }
        if (const auto start = valueStartFor(text, key)) {
            found.keyLine = i;
            found.valueStart = skip + *start;
            return found;
        }
    }
    return found;
}

} // namespace

std::optional<std::string_view> FindIniValue(std::string_view file, std::string_view section, std::string_view key)
{
    if (key.empty()) {
        return std::nullopt;
    }
    const auto lines = splitLines(file);
    const Search found = search(lines, section, key);
    if (!found.keyLine) {
        return std::nullopt;
    }
    return lines[*found.keyLine].text.substr(found.valueStart);
}

std::string SetIniValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view storedText, std::string_view newFileLineEnd)
{
    if (key.empty()) {
        return std::string(file);
    }
    const auto lines = splitLines(file);
    const Search found = search(lines, section, key);

    std::string_view newline = newFileLineEnd;
    for (const Line& line : lines) {
        if (!line.ending.empty()) {
            newline = line.ending;
            break;
        }
    }
    const std::string keyLine = std::string(key) + "=" + std::string(storedText);

    std::string out;
    out.reserve(file.size() + section.size() + keyLine.size() + 8);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (found.keyLine && i == *found.keyLine) {
            out.append(line.text.substr(0, found.valueStart)).append(storedText).append(line.ending);
            continue;
        }
        out.append(line.text).append(line.ending);
        if (!found.keyLine && found.sectionEnd && i == *found.sectionEnd) {
            if (line.ending.empty()) {
                out.append(newline);
            }
            out.append(keyLine).append(newline);
        }
    }
    if (!found.keyLine && !found.sectionEnd) {
        if (!lines.empty() && lines.back().ending.empty()) {
            out.append(newline);
        }
        out.append("[").append(section).append("]").append(newline);
        out.append(keyLine).append(newline);
    }
    return out;
}

std::string ProfileValue(std::string_view storedText)
{
    std::string_view value = trim(storedText);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string ProfileStoredText(std::string_view value)
{
    std::string stored(value);
    for (char& c : stored) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    if (ProfileValue(stored) != stored) {
        return "\"" + stored + "\"";
    }
    return stored;
}
