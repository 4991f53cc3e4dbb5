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

void WinShell::openDocument(const std::string& document)
{
    ::ShellExecuteW(GetDesktopWindow(), L"open", Widen(document).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
