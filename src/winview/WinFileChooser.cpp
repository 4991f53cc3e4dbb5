// SPDX-License-Identifier: MIT
#include "winview/WinFileChooser.h"

#include "win/WideText.h"

#include <algorithm>
#include <cderr.h>
#include <commdlg.h>

// The request's bits and the answer's codes go to and come from the system unchanged.
static_assert(FileDialogOption::ReadOnly == OFN_READONLY && FileDialogOption::OverwritePrompt == OFN_OVERWRITEPROMPT &&
              FileDialogOption::AllowMultiSelect == OFN_ALLOWMULTISELECT &&
              FileDialogOption::FileMustExist == OFN_FILEMUSTEXIST && FileDialogOption::Explorer == OFN_EXPLORER);
static_assert(FileDialogFault::BufferTooSmall == FNERR_BUFFERTOOSMALL &&
              FileDialogFault::DialogFailure == CDERR_DIALOGFAILURE);

namespace {

// A buffer of exactly `size` characters holding the text (cut to size - 1), NUL-padded.
std::wstring paddedBuffer(const std::string& utf8, std::size_t size)
{
    std::wstring buffer = Widen(utf8);
    buffer.resize(std::max<std::size_t>(size, 1) - 1);
    buffer.resize(std::max<std::size_t>(size, 1), L'\0');
    return buffer;
}

const wchar_t* textOrNone(const std::wstring& text)
{
    return text.empty() ? nullptr : text.c_str();
}

std::wstring withoutTrailingSeparator(std::wstring folder)
{
    // "C:\" keeps its separator: without it, it would name the drive's current folder.
    if (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return folder;
}

std::wstring joined(const std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty() && folder.back() != L'\\') {
        return folder + L'\\' + name;
    }
    return folder + name;
}

// Splits at every separator; the parts between two adjacent separators end the list.
std::vector<std::wstring> parts(const std::wstring& text, wchar_t separator)
{
    std::vector<std::wstring> found;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end == start) {
            break;
        }
        found.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return found;
}

} // namespace

std::wstring DialogFilterList(const std::vector<FileFilter>& filters)
{
    std::wstring list;
    for (const FileFilter& filter : filters) {
        list += Widen(filter.description);
        list += L'\0';
        list += Widen(filter.pattern);
        list += L'\0';
    }
    return list;
}

FileDialogResult ReadAcceptedBuffer(const std::wstring& buffer, std::size_t fileOffset, std::uint32_t flags)
{
    FileDialogResult result;
    result.outcome = FileDialogResult::Outcome::Accepted;
    const bool multiple = (flags & FileDialogOption::AllowMultiSelect) != 0;
    const bool explorer = (flags & FileDialogOption::Explorer) != 0;
    const std::wstring first = buffer.substr(0, buffer.find(L'\0'));

    std::vector<std::wstring> names;
    std::wstring folder;
    if (multiple && explorer && fileOffset > 0 && fileOffset <= buffer.size() && buffer[fileOffset - 1] == L'\0') {
        // Several files: the folder, then each name, NUL-separated.
        const std::vector<std::wstring> all = parts(buffer, L'\0');
        folder = all.empty() ? std::wstring() : all.front();
        names.assign(all.begin() + (all.empty() ? 0 : 1), all.end());
    } else if (multiple && !explorer && first.find(L' ') != std::wstring::npos) {
        // The old-style dialog separates the folder and the (short) names with spaces.
        const std::vector<std::wstring> all = parts(first, L' ');
        folder = all.front();
        names.assign(all.begin() + 1, all.end());
    } else {
        const std::size_t offset = std::min(fileOffset, first.size());
        folder = withoutTrailingSeparator(first.substr(0, offset));
        names.push_back(first.substr(offset));
    }
    result.folder = Narrow(folder);
    for (const std::wstring& name : names) {
        result.files.push_back({Narrow(joined(folder, name)), Narrow(name)});
    }
    return result;
}

FileDialogResult WinFileChooser::choose(const FileDialogRequest& request)
{
    const std::wstring filter = DialogFilterList(request.filters);
    std::wstring file = paddedBuffer(request.fileName, request.fileBufferSize);
    std::wstring fileTitle = paddedBuffer(request.fileTitle, MaxPathLength);
    const std::wstring initialFolder = Widen(request.initialFolder);
    const std::wstring title = Widen(request.title);
    const std::wstring defaultExt = Widen(request.defaultExt);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = request.owner != 0 ? reinterpret_cast<HWND>(request.owner) : m_owner;
    dialog.lpstrFilter = textOrNone(filter);
    dialog.nFilterIndex = static_cast<DWORD>(std::max(request.filterIndex, 0));
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrFileTitle = fileTitle.data();
    dialog.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    dialog.lpstrInitialDir = textOrNone(initialFolder);
    dialog.lpstrTitle = textOrNone(title);
    dialog.Flags = request.flags;
    dialog.lpstrDefExt = textOrNone(defaultExt);

    const BOOL accepted = request.mode == FileDialogMode::Save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (accepted == FALSE) {
        FileDialogResult result;
        result.extendedError = CommDlgExtendedError();
        result.outcome =
            result.extendedError == 0 ? FileDialogResult::Outcome::Cancelled : FileDialogResult::Outcome::Failed;
        return result;
    }
    FileDialogResult result = ReadAcceptedBuffer(file, dialog.nFileOffset, request.flags);
    result.filterIndex = static_cast<std::int32_t>(dialog.nFilterIndex);
    if (result.files.empty() || result.files.front().name.empty()) {
        result.outcome = FileDialogResult::Outcome::Failed;
        result.extendedError = FileDialogFault::DialogFailure;
    }
    return result;
}
