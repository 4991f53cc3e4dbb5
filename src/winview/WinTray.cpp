// SPDX-License-Identifier: MIT
#include "winview/WinTray.h"

#include "win/WideText.h"
#include "winview/FixedText.h"
#include "winview/WinMenu.h"

namespace {

constexpr const wchar_t* TrayProperty = L"Sentrybell.WinTray";

} // namespace

WinTray::WinTray() : m_taskbarCreated(RegisterWindowMessageW(L"TaskbarCreated")) {}

WinTray::~WinTray()
{
    if (m_wanted) {
        Shell_NotifyIconW(NIM_DELETE, &m_data);
    }
    if (m_subclassed && IsWindow(m_window)) {
        restoreSubclass();
    }
}

void WinTray::attach(HWND window, HICON icon)
{
    m_window = window;
    m_icon = icon;
    // The program runs elevated; Explorer does not. Without this, Windows would drop the messages
    // Explorer sends it: the icon's notifications and the news that the taskbar was recreated.
    ChangeWindowMessageFilterEx(window, TrayCallbackMessage, MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(window, m_taskbarCreated, MSGFLT_ALLOW, nullptr);
}

void WinTray::fill(const std::string& tip)
{
    m_data = NOTIFYICONDATAW{};
    m_data.cbSize = sizeof(m_data);
    m_data.hWnd = m_window;
    m_data.uID = TrayIconId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = TrayCallbackMessage;
    m_data.hIcon = m_icon;
    // The caller has cut the tip to 63 bytes in the ANSI code page; it fits the record's 128 characters.
    CopyToFixed(m_data.szTip, Widen(tip));
}

void WinTray::notifyIcon(TrayMessage message, const std::string& tip)
{
    switch (message) {
    case TrayMessage::Add:
        fill(tip);
        // Meant to be there even when the taskbar is not up yet (a start at logon): it is added when
        // the taskbar announces itself.
        m_wanted = true;
        m_inTray = Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
        break;
    case TrayMessage::Modify:
        if (m_wanted) {
            fill(tip);
            Shell_NotifyIconW(NIM_MODIFY, &m_data);
        }
        break;
    case TrayMessage::Delete:
        m_wanted = false;
        m_inTray = false;
        Shell_NotifyIconW(NIM_DELETE, &m_data);
        break;
    }
}

void WinTray::installSubclass()
{
    // Installed twice, the procedure would be its own predecessor and forward every message to itself.
    if (m_subclassed || m_window == nullptr) {
        return;
    }
    SetPropW(m_window, TrayProperty, this);
    m_oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinTray::TrayWindowProc)));
    m_subclassed = true;
}

void WinTray::restoreSubclass()
{
    if (m_oldProc == nullptr) {
        return; // never installed
    }
    // A second teardown sets the same procedure again, which changes nothing.
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    RemovePropW(m_window, TrayProperty);
    m_subclassed = false;
}

LRESULT CALLBACK WinTray::TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* tray = static_cast<WinTray*>(GetPropW(window, TrayProperty));
    if (tray == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return tray->handle(window, message, wParam, lParam);
}

LRESULT WinTray::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Kept before anything runs: the menu's handler may take the subclass away.
    const WNDPROC next = m_oldProc;
    if (message == TrayCallbackMessage && static_cast<UINT>(lParam) == WM_RBUTTONUP && m_menu != nullptr &&
        !m_menu->isOpen() && m_menu->isEnabled()) {
        m_menu->popUpAtCursor(window);
    } else if (message == m_taskbarCreated && m_wanted) {
        m_inTray = Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
    }
    if (!IsWindow(window)) {
        return 0; // the chosen item unloaded the window
    }
    return CallWindowProcW(next, window, message, wParam, lParam);
}
