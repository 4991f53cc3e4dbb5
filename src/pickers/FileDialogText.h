// SPDX-License-Identifier: MIT
#pragma once

#include "pickers/FileChooser.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The string handling around the file dialogs: the buffers the dialog reads and writes and the
// file-type list. The core's texts are UTF-8; the dialog's buffers count characters in the platform's
// unit (DialogTextUnit), and a text is never cut inside a character.

// Size of the file-name buffer for a requested size: the request when it is over the platform's
// smallest (`smallest`), otherwise that.
std::size_t FileBufferSize(std::int32_t maxFileSize, std::size_t smallest);

// The characters of `unit` the text takes in a buffer.
std::size_t BufferLength(std::string_view text, DialogTextUnit unit);

// What a buffer of `bufferSize` characters holds after `text` is copied in NUL-padded: the text up to
// its first NUL, cut to bufferSize - 1 characters so the buffer always ends in a NUL.
std::string BufferText(std::string_view text, std::size_t bufferSize, DialogTextUnit unit);

// The file-type list in the dialog's form: every "|" becomes a NUL and one more NUL ends the list, so
// that with the text's own terminator the list ends in two NULs. "a|*.a" gives "a\0*.a\0".
std::string ConvertFilter(std::string_view filter);

// The entries of a converted list, read as the dialog reads it: description and pattern in turn,
// until an empty description or the end. A description without its pattern gives an empty pattern.
std::vector<FileFilter> FilterEntries(std::string_view converted);

// The file-name buffer as the dialog fills it for an accepted choice: one file's full path, or for
// several files the folder and then each name, each followed by a NUL, and one more NUL at the end.
// Nothing when the answer (terminators included) does not fit in `bufferSize` characters.
std::optional<std::string> SelectionBuffer(const FileDialogResult& accepted, bool multiple, std::size_t bufferSize,
                                           DialogTextUnit unit);

// The extension (without its dot) that Windows' file dialog gives a name typed without one: that of
// the selected file type's first pattern when the pattern names one ("*.txt" gives "txt", "*." the
// empty one; "*.*", "*" and "*.t?t" name none), otherwise the default extension. With no default
// extension, none at all. `filterIndex` is 1-based; any other value selects the first type.
std::string TypedNameExtension(const std::vector<FileFilter>& filters, std::int32_t filterIndex,
                               std::string_view defaultExt);

// The buffer's text up to its first NUL, and up to its first pair of adjacent NULs.
std::string UpToNul(std::string_view buffer);
std::string UpToDoubleNul(std::string_view buffer);
