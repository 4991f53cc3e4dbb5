// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The lines of an INI file, worked on as bytes: "[SECTION]" headers (the name up to the line's last
// "]") and "KEY=value" lines. Section and key names match without regard to ASCII case; blanks
// (space, tab, CR, VT, FF and the DOS end-of-file mark ^Z) around a name do not count; a line
// starting with ";" is a comment; lines before the first header belong to no section. A file that
// is not text is read as lines like any other: nothing here fails.

// The text after the "=" of the key's line, exactly as stored (the line end excluded), or nothing
// when the section or the key is missing. A repeated section or key: the first one counts, and a
// later section of the same name is not looked into.
std::optional<std::string_view> FindIniValue(std::string_view file, std::string_view section, std::string_view key);

// Several keys in one pass over the file: for each (section, key) asked, what FindIniValue would
// give. Reading a whole settings file costs one pass, however many keys it has to answer.
using IniKeyName = std::pair<std::string_view, std::string_view>; // section, key
std::vector<std::optional<std::string_view>> FindIniValues(std::string_view file, const std::vector<IniKeyName>& keys);

// The file with the key's stored text set: the text after the "=" of the key's line is replaced, or a
// line is added after the last line of the section, or the section is added at the end of the file.
// Every other line keeps its bytes, its line end included; new lines end as the file's first line
// does, or with `newFileLineEnd` in a file without one (a new file). The stored text must not hold a
// line break.
std::string SetIniValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view storedText, std::string_view newFileLineEnd);

// The value the profile API reads from a stored text: blanks around it and then one pair of
// enclosing quotes (both " or both ') removed.
std::string ProfileValue(std::string_view storedText);

// The stored text that reads back as the value: a CR or LF becomes a space, so that a value never
// adds a line; a value that the reading would change (blanks at either end, enclosing quotes of its
// own) is written inside one pair of double quotes.
std::string ProfileStoredText(std::string_view value);
