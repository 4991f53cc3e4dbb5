// SPDX-License-Identifier: MIT
#pragma once

#include "common/WindowHandle.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Option bits of the file dialog, with the values of the system's open-file-name record. The dialog
// class passes them on unchanged; an adapter honours those its toolkit can express. (Named apart from
// the system's OFN_* macros, so that no header order can turn one into the other.)
namespace FileDialogOption {
inline constexpr std::uint32_t ReadOnly = 0x1;
inline constexpr std::uint32_t OverwritePrompt = 0x2;
inline constexpr std::uint32_t AllowMultiSelect = 0x200;
inline constexpr std::uint32_t FileMustExist = 0x1000;
inline constexpr std::uint32_t Explorer = 0x80000;
} // namespace FileDialogOption

// Extended error codes of a failed file dialog (0 is a plain cancel), with the system's values.
namespace FileDialogFault {
inline constexpr std::uint32_t BufferTooSmall = 0x3003;
inline constexpr std::uint32_t DialogFailure = 0xFFFF;
} // namespace FileDialogFault

// The longest path the system's file dialogs handle by default, terminating NUL included.
inline constexpr std::size_t MaxPathLength = 260;

enum class FileDialogMode
{
    Open,
    Save,
};

// One entry of the file-type list: its description and its patterns (";"-separated, as "*.txt;*.log").
// An empty pattern means the entry names no pattern at all.
struct FileFilter
{
    std::string description;
    std::string pattern;

    bool operator==(const FileFilter&) const = default;
};

struct FileDialogRequest
{
    FileDialogMode mode = FileDialogMode::Open;
    WindowHandle owner = 0;                     // the window the dialog is modal to; 0 lets the adapter choose
    std::string title;                          // empty: the platform's own caption ("Open", "Save As")
    std::string initialFolder;                  // empty: the platform's choice
    std::string fileName;                       // the name shown at first, already cut to fit the buffer
    std::string fileTitle;                      // first content of the file-title buffer (only a system dialog sees it)
    std::size_t fileBufferSize = MaxPathLength; // characters the answer may take, terminating NUL included
    std::vector<FileFilter> filters;
    std::int32_t filterIndex = 0; // 1-based entry of `filters` selected at first; others select the first
    std::string defaultExt;       // appended (without a dot) to a name typed without an extension
    std::uint32_t flags = 0;      // FileDialogOption bits
};

// A file the operator accepted: its full path and its name without the folder, as the platform forms them.
struct ChosenFile
{
    std::string path;
    std::string name;
};

struct FileDialogResult
{
    enum class Outcome
    {
        Accepted,
        Cancelled,
        Failed,
    };
    Outcome outcome = Outcome::Cancelled;
    std::string folder;              // Accepted: the folder holding the chosen files
    std::vector<ChosenFile> files;   // Accepted: one file, or several for a multiple selection
    std::int32_t filterIndex = 0;    // the entry the operator left selected (1-based), 0 when unknown
    std::uint32_t extendedError = 0; // Failed: the reason, never 0
};

// The platform's Open and Save file dialogs.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // Shows the modal dialog and returns once the operator has closed it. Never throws for a dialog
    // problem: a dialog that cannot be shown, or that ends without a usable answer, is Failed with a
    // nonzero extended error code; closing it without a choice is Cancelled.
    virtual FileDialogResult choose(const FileDialogRequest& request) = 0;
};
