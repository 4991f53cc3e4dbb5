// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// The platform's handle of a window, as an opaque number: an HWND on Windows, a WId under Qt.
// 0 names no window.
using WindowHandle = std::uintptr_t;
