// SPDX-License-Identifier: MIT
#include "winview/WinViewHarness.h"

#include "win/WideText.h"
#include "winview/ShellApi.h"

WinViewHarness::WinViewHarness()
{
    lifetime.setWindow(window.hwnd());
}

WinViewHarness::~WinViewHarness()
{
    // Destroying the window ends the program's loop (WM_QUIT), as it should in the program; the next
    // test of this thread starts with a clean queue.
    if (IsWindow(window.hwnd())) {
        DestroyWindow(window.hwnd());
    }
    MSG message{};
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

Form1Services WinViewHarness::services()
{
    Form1Services s = fakes.services({.encoding = &encoding, .tray = &tray, .lifetime = &lifetime});
    s.notice = WindowsNotice();
    return s;
}

void WinViewHarness::showAndActivate()
{
    window.showAsModelSays();
    SetForegroundWindow(window.hwnd());
    SetActiveWindow(window.hwnd());
    pump();
}

bool IconInTray(HWND window)
{
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof(probe);
    probe.hWnd = window;
    probe.uID = TrayIconId;
    probe.uFlags = 0;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

std::string TextOf(HWND window)
{
    return Narrow(WindowText(window));
}

std::string ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return Narrow(name);
}

LONG StyleOf(HWND window)
{
    return GetWindowLongW(window, GWL_STYLE);
}

std::wstring WinePath(const std::string& unixPath)
{
    std::wstring path = L"Z:" + Widen(unixPath);
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}
