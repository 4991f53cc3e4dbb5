// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

// The program's message loop. Keyboard navigation (Tab, Shift+Tab, the arrow keys in the option
// group) goes through the dialog manager (IsDialogMessageW) for the window. Returns when WM_QUIT
// arrives, with its exit code.
int RunMessageLoop(HWND window);

// Handles every message already queued, as the loop would, and returns: false when WM_QUIT came
// (it is put back for the caller's own loop).
bool PumpPendingMessages(HWND window);
