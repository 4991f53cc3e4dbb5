// SPDX-License-Identifier: MIT
#pragma once

// The program's own icon (16 and 32 pixels), the window's and the tray's.
#define IDI_SENTRYBELL 1
