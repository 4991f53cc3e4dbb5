// SPDX-License-Identifier: MIT
#pragma once

#include "shell/UiServices.h"
#include "winview/ShellApi.h"

class WinMenu;

// The private message through which the notification area reports the icon's mouse events to the
// window. A private WM_APP message can never be confused with the window's own mouse messages: were
// it WM_RBUTTONDOWN (0x204), a right click inside the window at x = 517 (0x205, WM_RBUTTONUP), y = 0
// would open the tray menu.
inline constexpr UINT TrayCallbackMessage = WM_APP + 1;
inline constexpr UINT TrayIconId = 1;

// The notification-area icon of the main window, with the window subclass that receives the icon's
// notifications: TrayWindowProc sits in front of the window's own procedure (SetWindowLongPtrW with
// GWLP_WNDPROC) and passes every message on to it (CallWindowProcW). The right button released over
// the icon pops the window's menu at the mouse, unless the menu is disabled (a box is open). When Explorer restarts,
// the icon comes back, but only while it is meant to be there: after a teardown it stays gone.
class WinTray : public TrayService
{
public:
    WinTray();
    // Deletes an icon that is still shown and takes the subclass away, so nothing points at a
    // destroyed object.
    ~WinTray() override;
    WinTray(const WinTray&) = delete;
    WinTray& operator=(const WinTray&) = delete;

    // The window whose icon this is, and the icon's image (16 x 16). Before any other call.
    void attach(HWND window, HICON icon);
    // The menu the icon's right click pops up.
    void setMenu(WinMenu* menu) { m_menu = menu; }

    void notifyIcon(TrayMessage message, const std::string& tip) override;
    void installSubclass() override;
    void restoreSubclass() override;
    bool showsIcon() const override { return m_wanted && m_inTray; }

    // The icon is meant to be in the notification area (added and not deleted).
    bool isShown() const { return m_wanted; }
    bool isSubclassed() const { return m_subclassed; }
    // The one notify-icon record, as last filled.
    const NOTIFYICONDATAW& record() const { return m_data; }

    static LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void fill(const std::string& tip);

    HWND m_window = nullptr;
    HICON m_icon = nullptr;
    WinMenu* m_menu = nullptr;
    NOTIFYICONDATAW m_data{};
    WNDPROC m_oldProc = nullptr;
    bool m_subclassed = false;
    bool m_wanted = false;
    bool m_inTray = false; // the notification area took the icon
    UINT m_taskbarCreated;
};
