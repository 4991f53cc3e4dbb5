// SPDX-License-Identifier: MIT
#include "config/IniText.h"

namespace {

// One line of the file: its text without the line end, and where it starts. Lines are walked one at
// a time, never gathered: a file of millions of empty lines costs one pass and no memory.
struct Line
{
    std::size_t offset = 0;  // of the text in the file
    std::string_view text;   // without its line end
    std::string_view ending; // "\r\n", "\n", or "" for a last line without one

    std::size_t end() const { return offset + text.size() + ending.size(); }
};

// ^Z too: the DOS end-of-file mark that old editors leave after the last line.
constexpr std::string_view Blanks = " \t\r\v\f\x1a";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// The line that starts at `start`, or nothing at the end of the file.
std::optional<Line> lineAt(std::string_view file, std::size_t start)
{
    if (start >= file.size()) {
        return std::nullopt;
    }
    const auto lf = file.find('\n', start);
    if (lf == std::string_view::npos) {
        return Line{start, file.substr(start), {}};
    }
    const std::size_t end = (lf > start && file[lf - 1] == '\r') ? lf - 1 : lf;
    return Line{start, file.substr(start, end - start), file.substr(end, lf + 1 - end)};
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
    std::optional<Line> keyLine;    // the line of the key
    std::size_t valueStart = 0;     // offset of its value in the file
    std::optional<Line> sectionEnd; // the last non-blank line of the first such section
};

Search search(std::string_view file, std::string_view section, std::string_view key)
{
    Search found;
    bool inSection = false;
    for (auto line = lineAt(file, 0); line; line = lineAt(file, line->end())) {
        std::string_view text = line->text;
        // A byte-order mark before the first line is not part of its text.
        const std::size_t skip =
            (line->offset == 0 && text.substr(0, ByteOrderMark.size()) == ByteOrderMark) ? ByteOrderMark.size() : 0;
        text.remove_prefix(skip);
        if (const auto name = headerName(text)) {
            // Only the first section of the name counts: the profile API never looks into a later
            // one, so a key found (and saved) there would be a key the system does not see.
            inSection = !found.sectionEnd && sameName(*name, section);
            if (inSection) {
                found.sectionEnd = line;
            } else if (found.sectionEnd) {
                return found;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!trim(text).empty()) {
            found.sectionEnd = line;
        }
        if (const auto start = valueStartFor(text, key)) {
            found.keyLine = line;
            found.valueStart = line->offset + skip + *start;
            return found;
        }
    }
    return found;
}

// The line end of the file's first line that has one; newFileLineEnd in a file without one.
std::string_view firstLineEnd(std::string_view file, std::string_view newFileLineEnd)
{
    const auto lf = file.find('\n');
    if (lf == std::string_view::npos) {
        return newFileLineEnd;
    }
    return (lf > 0 && file[lf - 1] == '\r') ? "\r\n" : "\n";
}

} // namespace

std::optional<std::string_view> FindIniValue(std::string_view file, std::string_view section, std::string_view key)
{
    if (key.empty()) {
        return std::nullopt;
    }
    const Search found = search(file, section, key);
    if (!found.keyLine) {
        return std::nullopt;
    }
    const Line& line = *found.keyLine;
    return file.substr(found.valueStart, line.offset + line.text.size() - found.valueStart);
}

std::vector<std::optional<std::string_view>> FindIniValues(std::string_view file, const std::vector<IniKeyName>& keys)
{
    std::vector<std::optional<std::string_view>> values(keys.size());
    std::size_t unanswered = 0;
    for (const auto& [section, key] : keys) {
        unanswered += key.empty() ? 0U : 1U;
    }
    // For each key, whether the walk is in the first section of its name, and whether that section has
    // been met: a later section of the same name is never looked into, as in FindIniValue.
    std::vector<char> inFirst(keys.size(), 0);
    std::vector<char> met(keys.size(), 0);
    bool inAnySection = false;
    for (auto line = lineAt(file, 0); line && unanswered > 0; line = lineAt(file, line->end())) {
        std::string_view text = line->text;
        if (line->offset == 0 && text.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
            text.remove_prefix(ByteOrderMark.size());
        }
        if (const auto name = headerName(text)) {
            inAnySection = true;
            for (std::size_t i = 0; i < keys.size(); ++i) {
                inFirst[i] = !met[i] && sameName(*name, keys[i].first) ? 1 : 0;
                met[i] = met[i] || inFirst[i];
            }
            continue;
        }
        const std::string_view lead = trim(text);
        const auto equals = text.find('=');
        if (!inAnySection || lead.empty() || lead.front() == ';' || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view name = trim(text.substr(0, equals));
        for (std::size_t i = 0; i < keys.size(); ++i) {
            // The first line of the key in the first section of that name counts, as in FindIniValue.
            if (!values[i] && inFirst[i] && !keys[i].second.empty() && sameName(name, keys[i].second)) {
                values[i] = text.substr(equals + 1);
                --unanswered;
            }
        }
    }
    return values;
}

std::string SetIniValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view storedText, std::string_view newFileLineEnd)
{
    if (key.empty()) {
        return std::string(file);
    }
    const Search found = search(file, section, key);
    const std::string_view newline = firstLineEnd(file, newFileLineEnd);
    const std::string keyLine = std::string(key) + "=" + std::string(storedText);

    std::string out;
    out.reserve(file.size() + section.size() + keyLine.size() + 8);
    if (found.keyLine) {
        // The stored text after the "=" is replaced; the line keeps its end.
        const Line& line = *found.keyLine;
        out.append(file.substr(0, found.valueStart)).append(storedText);
        out.append(file.substr(line.offset + line.text.size()));
    } else if (found.sectionEnd) {
        // A new line after the last line of the section.
        const Line& last = *found.sectionEnd;
        out.append(file.substr(0, last.end()));
        if (last.ending.empty()) {
            out.append(newline);
        }
        out.append(keyLine).append(newline).append(file.substr(last.end()));
    } else {
        // A new section at the end of the file.
        out.append(file);
        if (!file.empty() && file.back() != '\n') {
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
