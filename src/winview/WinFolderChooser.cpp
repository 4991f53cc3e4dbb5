// SPDX-License-Identifier: MIT
#include "winview/WinFolderChooser.h"

#include "win/WideText.h"

#include <shlobj.h>

namespace {

// Selects the initial folder, handed over as the callback data, once the dialog exists.
int CALLBACK preselect(HWND dialog, UINT message, LPARAM /*parameter*/, LPARAM data)
{
    const auto* initialFolder = reinterpret_cast<const wchar_t*>(data);
    if (message == BFFM_INITIALIZED && initialFolder != nullptr && *initialFolder != L'\0') {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

} // namespace

std::string WinFolderChooser::browseForFolder(WindowHandle owner, const std::string& initialFolder,
                                              const std::string& prompt)
{
    // Both texts live until the dialog has closed.
    const std::wstring initial = Widen(initialFolder);
    const std::wstring title = Widen(prompt);

    BROWSEINFOW browse{};
    browse.hwndOwner = owner != 0 ? reinterpret_cast<HWND>(owner) : m_owner;
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = nullptr;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = 0;
    browse.lpfn = preselect;
    browse.lParam = reinterpret_cast<LPARAM>(initial.c_str());

    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    if (item == nullptr) {
        return {}; // cancelled
    }
    std::wstring path(MAX_PATH, L'\0');
    std::string chosen;
    if (SHGetPathFromIDListW(item, path.data()) != FALSE) {
        chosen = Narrow(path.c_str());
    }
    CoTaskMemFree(item);
    return chosen;
}
