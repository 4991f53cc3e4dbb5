// SPDX-License-Identifier: MIT
#pragma once

#include <vector>
#include <windows.h>

class Control;
class Form1;

// A rectangle of the client area in twips.
struct TwipsRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The native control that shows a model control.
enum class NativeKind
{
    Button,
    Edit,
    CheckBox,
    Option,
    Label,
    LinkLabel,   // a contact notice's link text: blue, bold, the hand pointer
    NoticeLabel, // a contact notice's lead-in text: the hand pointer
    Frame,
};

struct ControlPlace
{
    Control* control = nullptr;
    NativeKind kind = NativeKind::Label;
    TwipsRect rect; // in the client area
};

// The client area: 10080 x 4920 twips, 672 x 328 pixels at 96 DPI.
inline constexpr int ClientWidthTwips = 10080;
inline constexpr int ClientHeightTwips = 4920;

// Every control the window shows (all but the menu and the timer), with its kind and place.
std::vector<ControlPlace> MainWindowLayout(Form1& form);

// The rectangle in pixels at the dpi. Each edge is converted on its own, so neighbours that touch
// in twips still touch in pixels.
RECT ToPixels(const TwipsRect& rect, unsigned dpi);
