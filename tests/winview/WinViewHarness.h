// SPDX-License-Identifier: MIT
#pragma once

#include "fakes/FormHarness.h"
#include "shell/Form1.h"
#include "win/WinTextEncoding.h"
#include "winapp/PlatformWords.h"
#include "winview/MessageLoop.h"
#include "winview/WinMainWindow.h"
#include "winview/WinTray.h"
#include "winview/WinUiServices.h"

#include <string>

// The real window, tray and lifetime over fakes of the rest, with the Windows program's words; the
// tray tip is cut in the real ANSI code page (932 under the tests' Japanese locale).
struct WinViewHarness
{
    FakePorts fakes;
    FakeFileSystem& files = fakes.files;
    FakeShell& shell = fakes.shell;
    WinTextEncoding encoding;
    WinLifetime lifetime;
    WinTray tray;
    Form1 form{services()};
    WinMainWindow window{form,
                         tray,
                         GetModuleHandleW(nullptr),
                         {LoadIconW(nullptr, IDI_APPLICATION), LoadIconW(nullptr, IDI_APPLICATION)}};

    WinViewHarness();
    ~WinViewHarness();
    WinViewHarness(const WinViewHarness&) = delete;
    WinViewHarness& operator=(const WinViewHarness&) = delete;

    Form1Services services();
    HWND handle(const Control& control) const { return window.handleFor(control); }
    // Runs every queued message through the program's own loop; false once WM_QUIT has come.
    bool pump() { return PumpPendingMessages(window.hwnd()); }
    // Shows the window and makes it the active one, as the operator would find it.
    void showAndActivate();
};

// Whether the notification area holds the window's icon: a modify that changes nothing succeeds only
// for an icon that is there.
bool IconInTray(HWND window);

// The window's text, as UTF-8.
std::string TextOf(HWND window);
std::string ClassOf(HWND window);
LONG StyleOf(HWND window);

// A path of the build tree (given as a Unix path) as Windows programs under Wine reach it.
std::wstring WinePath(const std::string& unixPath);
