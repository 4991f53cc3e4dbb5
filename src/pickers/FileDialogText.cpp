// SPDX-License-Identifier: MIT
#include "pickers/FileDialogText.h"

#include "common/Utf8.h"

std::size_t FileBufferSize(std::int32_t maxFileSize, std::size_t smallest)
{
    return maxFileSize > 0 && static_cast<std::size_t>(maxFileSize) > smallest ? static_cast<std::size_t>(maxFileSize)
                                                                               : smallest;
}

std::size_t BufferLength(std::string_view text, DialogTextUnit unit)
{
    return unit == DialogTextUnit::Utf16 ? Utf16Length(text) : text.size();
}

std::string BufferText(std::string_view text, std::size_t bufferSize, DialogTextUnit unit)
{
    if (bufferSize == 0) {
        return {};
    }
    const std::string upToNul = UpToNul(text);
    return unit == DialogTextUnit::Utf16 ? CutUtf16(upToNul, bufferSize - 1) : CutUtf8(upToNul, bufferSize - 1);
}

std::string ConvertFilter(std::string_view filter)
{
    std::string converted;
    converted.reserve(filter.size() + 1);
    for (const char c : filter) {
        converted += c == '|' ? '\0' : c;
    }
    converted += '\0';
    return converted;
}

std::vector<FileFilter> FilterEntries(std::string_view converted)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start < converted.size()) {
        const std::size_t end = converted.find('\0', start);
        const std::size_t stop = end == std::string_view::npos ? converted.size() : end;
        parts.push_back(converted.substr(start, stop - start));
        start = stop + 1;
    }

    std::vector<FileFilter> entries;
    for (std::size_t i = 0; i < parts.size() && !parts[i].empty(); i += 2) {
        const std::string_view pattern = i + 1 < parts.size() ? parts[i + 1] : std::string_view{};
        entries.push_back({std::string(parts[i]), std::string(pattern)});
        if (pattern.empty()) {
            break; // the empty pattern is also the list's end
        }
    }
    return entries;
}

std::optional<std::string> SelectionBuffer(const FileDialogResult& accepted, bool multiple, std::size_t bufferSize,
                                           DialogTextUnit unit)
{
    if (accepted.files.empty()) {
        return std::nullopt;
    }
    std::string buffer;
    if (!multiple || accepted.files.size() == 1) {
        buffer = accepted.files.front().path;
        buffer += '\0';
    } else {
        buffer = accepted.folder;
        buffer += '\0';
        for (const ChosenFile& file : accepted.files) {
            buffer += file.name;
            buffer += '\0';
        }
    }
    if (multiple) {
        buffer += '\0';
    }
    if (BufferLength(buffer, unit) > bufferSize) {
        return std::nullopt;
    }
    return buffer;
}

std::string TypedNameExtension(const std::vector<FileFilter>& filters, std::int32_t filterIndex,
                               std::string_view defaultExt)
{
    if (defaultExt.empty()) {
        return {};
    }
    if (!filters.empty()) {
        const bool inRange = filterIndex >= 1 && static_cast<std::size_t>(filterIndex) <= filters.size();
        const std::string& patterns = filters[inRange ? static_cast<std::size_t>(filterIndex) - 1 : 0].pattern;
        const std::string first = patterns.substr(0, patterns.find(';'));
        const std::size_t dot = first.find('.');
        // "*." names the empty extension: the name then stays as typed.
        if (dot != std::string::npos && first.find_first_of("*?", dot) == std::string::npos) {
            return first.substr(dot + 1);
        }
    }
    return std::string(defaultExt);
}

std::string UpToNul(std::string_view buffer)
{
    return std::string(buffer.substr(0, buffer.find('\0')));
}

std::string UpToDoubleNul(std::string_view buffer)
{
    return std::string(buffer.substr(0, buffer.find(std::string_view("\0\0", 2))));
}
