// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// A file being written to a temporary beside its final place. Nothing is visible under the final
// name until commit() renames it there; destroying the writer without commit() removes the temporary.
class StagedFile
{
public:
    virtual ~StagedFile() = default;
    // Appends bytes; false once any write has failed (a full disk, a removed folder).
    virtual bool write(std::string_view bytes) = 0;
    // Renames over the final name, after syncing the file where its writer asked for that (see
    // replaceFile and stageFile). False when any step failed; the final file is then as it was before.
    virtual bool commit() = 0;
};

// Who may read a file that a write creates. An existing file always keeps its own mode.
enum class NewFileAccess
{
    Ordinary,  // as the process's defaults give it
    Private,   // the owner only (0600), or the owner and the folder's group (0660) in a setgid folder
    OwnerOnly, // the owner only (0600), whatever the folder
    Public,    // readable by everyone, written by the owner (0644), whatever the umask; also when it exists
};

// Files and folders. Paths are the platform's own texts (UTF-8 in the core). No call throws.
class FileSystem
{
public:
    virtual ~FileSystem() = default;
    // An ordinary file of that path exists (not a folder; on Windows not hidden or system).
    virtual bool fileExists(const std::string& path) const = 0;
    // A folder, or any file, of that path exists: the directory search with the directory attribute.
    virtual bool entryExists(const std::string& path) const = 0;
    // Opens for appending (creating the file when missing), writes the bytes, closes. False on any failure.
    // Only a regular file is written, and never through a link (anything else is refused, with a word to
    // the operator); bytes a full disk takes only part of are taken back, so a line is never torn.
    virtual bool appendToFile(const std::string& path, std::string_view bytes) = 0;
    // Creates an empty file when none exists; leaves an existing one as it is. False on failure.
    virtual bool createIfMissing(const std::string& path) = 0;
    // The whole content, or nothing when the file cannot be read. maxBytes bounds what is read.
    virtual std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes) const = 0;
    // Replaces the file in one step (temporary file in the same folder, synced, renamed), so the file
    // is either the old one or the new one, never a part of either. False when it could not.
    virtual bool replaceFile(const std::string& path, std::string_view content, NewFileAccess access) = 0;
    // Begins writing a file in stages; the temporary has the given fixed name in the target's folder,
    // so a crash leaves at most that one stray file. The file gets the process's default access (and
    // the folder group's, in a shared install). Null when the temporary cannot be created.
    //
    // Meant for a copy that the next write replaces anyway (the page copy, rewritten at every check):
    // readers still see the old file or the new one whole, since the rename is one step, but nothing
    // is synced to the disk. A crash of the program loses nothing, the kernel holds what was written;
    // a crash of the machine may lose the latest copy (the old one is found, or on a file system that
    // does not write a file's data before its rename, an empty one) until the next write. The sync
    // of the file and of its folder cost more processor time than the whole request that fetched it.
    virtual std::unique_ptr<StagedFile> stageFile(const std::string& path, const std::string& temporaryName) = 0;
    // Why the last replaceFile that failed did, in the system's words, for a message to the operator
    // (for example "cannot create /opt/sentrybell/SETTING.ini.tmp: Permission denied"); empty when no
    // reason is known.
    virtual std::string lastFailure() const { return {}; }
};
