// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Form1.h"

// What the Windows program's window says and opens where the platforms differ: the second contact
// notice leads to the page on the parts of Windows the program uses (iisreset.exe, the Winlogon values,
// the ANSI files, the proxy, the event log, the logon task, one watchdog per folder).
inline PlatformNotice WindowsNotice()
{
    return {"Windowsでは", "連携機能の説明", "windows-notes.html"};
}
