// SPDX-License-Identifier: MIT
#pragma once

#include "common/WindowHandle.h"

class QWidget;

// The widget a dialog is modal to: the window whose handle the caller gave, or `fallback` when the
// handle is 0 or names no widget of this program.
QWidget* DialogOwner(WindowHandle owner, QWidget* fallback);

// Widgets can be shown only under a QApplication (not a bare QCoreApplication).
bool WidgetsAvailable();
