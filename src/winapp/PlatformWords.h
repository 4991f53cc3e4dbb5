// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Form1.h"

// What the Windows program's window says and opens where the platforms differ: for now the second
// contact notice is the Linux program's, until the Windows program has a page of its own.
inline PlatformNotice WindowsNotice()
{
    return {"Linuxでの動作は", "代替機能の説明", "platform-notes.html"};
}
