// SPDX-License-Identifier: MIT
#include "winview/WinUiServices.h"

#include "win/WideText.h"
#include "winview/ShellApi.h"

void WinMessageBox::MsgBox(const std::string& text, int style, const std::string& title)
{
    MessageBoxW(m_owner, Widen(text).c_str(), Widen(title).c_str(), static_cast<UINT>(style));
}

void WinLifetime::unloadWindow()
{
    if (m_window != nullptr && IsWindow(m_window)) {
        SendMessageW(m_window, WM_CLOSE, 0, 0);
    } else {
        PostQuitMessage(0);
    }
}

void WinLifetime::endNow()
{
    m_endedAtOnce = true;
    PostQuitMessage(0);
}

void WinShell::ShellExecute(const std::string& operation, const std::string& file, const std::string& parameters,
                            const std::string& directory, int showCommand)
{
    const std::wstring verb = Widen(operation);
    const std::wstring target = Widen(file);
    const std::wstring arguments = Widen(parameters);
    const std::wstring folder = Widen(directory);
    // Empty texts are passed as no text at all, as the shell expects for "none".
    ::ShellExecuteW(GetDesktopWindow(), verb.empty() ? nullptr : verb.c_str(), target.c_str(),
                    arguments.empty() ? nullptr : arguments.c_str(), folder.empty() ? nullptr : folder.c_str(),
                    showCommand);
}
