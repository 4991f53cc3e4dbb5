// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

// The program's own icon, drawn at 16 and 32 pixels: a bell under a watch-light, the window's and
// the tray's icon alike. data/sentrybell.svg is the same drawing for the desktop entry: a change
// here belongs there too.
QIcon AppIcon();
