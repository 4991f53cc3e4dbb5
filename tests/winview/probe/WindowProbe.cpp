// SPDX-License-Identifier: MIT
// Looks at a running sentrybell.exe from outside, for the end-to-end tests:
//   sentrybell-probe state   prints "window=<0|1> visible=<0|1> tray=<0|1> caption=<text>" (UTF-8)
//   sentrybell-probe close   asks the window to close (WM_CLOSE), as the close box does
// Ends with 0, or 2 when no window of the program exists.
// The shell's header needs the system's base header first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <cstdio>
#include <string>

namespace {

std::string utf8(const std::wstring& text)
{
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
    return out;
}

// A modify that changes nothing succeeds only for an icon that is in the notification area.
bool iconInTray(HWND window)
{
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof(probe);
    probe.hWnd = window;
    probe.uID = 1;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"state";
    HWND window = FindWindowW(L"SentrybellMainWindow", nullptr);
    if (window == nullptr) {
        std::printf("window=0 visible=0 tray=0 caption=\n");
        return 2;
    }
    if (command == L"close") {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    std::printf("window=1 visible=%d tray=%d caption=%s\n", IsWindowVisible(window) ? 1 : 0, iconInTray(window) ? 1 : 0,
                utf8(caption).c_str());
    return 0;
}
