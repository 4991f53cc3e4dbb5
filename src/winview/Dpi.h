// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

// The window is designed in twips, 1440 to the inch: 15 to a pixel at 96 DPI. Every size goes
// through here, so the window keeps its proportions on a monitor of any scale.
inline constexpr unsigned DesignDpi = 96;
inline constexpr int TwipsPerInch = 1440;

// Pixels at the dpi for a length in twips, rounded to the nearest pixel.
int TwipsToPixels(int twips, unsigned dpi);

// Pixels at the dpi for a length given in pixels at 96 DPI.
int ScaleFromDesign(int pixels, unsigned dpi);

// The DPI of the monitor the window is on (the system's when the window has none yet).
unsigned WindowDpi(HWND window);

// The outer size of a window of that style whose client area is `client` pixels, at the dpi.
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, unsigned dpi);
