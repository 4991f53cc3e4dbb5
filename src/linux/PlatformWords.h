// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Form1.h"

// What the Linux programs say and opens where the platforms differ: the second contact
// notice leads to the page on how the program works on Linux and what stands in for the Windows parts.
inline PlatformNotice LinuxNotice()
{
    return {"Linuxでの動作は", "代替機能の説明", "platform-notes.html"};
}
