// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>

// The program's icon as a Windows icon file: the drawing of AppIcon() at 16 and 32 pixels, each a
// 32-bit image with its alpha channel and the 1-bit mask older readers use. The Windows program is
// built from data/windows/sentrybell.ico, which holds exactly this; a test keeps the two the same.
QByteArray AppIconIco();

// The drawing at one size, as a 32-bit image with alpha.
QImage AppIconImage(int size);
