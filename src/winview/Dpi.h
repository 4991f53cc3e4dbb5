// SPDX-License-Identifier: MIT
#pragma once

#include "shell/WindowLayout.h"

#include <windows.h>

// The window is designed in twips (shell/WindowLayout.h), 15 to a pixel at 96 DPI. Every size goes
// through here, so the window keeps its proportions on a monitor of any scale.
inline constexpr unsigned DesignDpi = 96;

// Pixels at the dpi for a length given in pixels at 96 DPI.
int ScaleFromDesign(int pixels, unsigned dpi);

// The rectangle in pixels at the dpi. Each edge is converted on its own, so neighbours that touch
// in twips still touch in pixels.
RECT ToPixels(const TwipsRect& rect, unsigned dpi);

// The DPI of the monitor the window is on (the system's when the window has none yet).
unsigned WindowDpi(HWND window);

// The outer size of a window of that style whose client area is `client` pixels, at the dpi.
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, unsigned dpi);
