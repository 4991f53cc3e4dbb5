// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Controls.h"

#include <type_traits>
#include <vector>

class Form1;

// The window's design: every control it shows (all but the menu and the timer), where and how. The
// measures are twips, 1440 to the inch: 15 to a pixel at 96 DPI. Both views build the window from
// this one table, each at its screen's DPI.

struct TwipsRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The platform control that shows a model control.
enum class ControlKind
{
    Button,
    Edit,
    CheckBox,
    Option,
    Label,
    Frame,
};

// The kind of a control's class.
template <typename C> constexpr ControlKind KindOf()
{
    if constexpr (std::is_same_v<C, CommandButton>) {
        return ControlKind::Button;
    } else if constexpr (std::is_same_v<C, TextBox>) {
        return ControlKind::Edit;
    } else if constexpr (std::is_same_v<C, CheckBox>) {
        return ControlKind::CheckBox;
    } else if constexpr (std::is_same_v<C, OptionButton>) {
        return ControlKind::Option;
    } else if constexpr (std::is_same_v<C, Label>) {
        return ControlKind::Label;
    } else {
        static_assert(std::is_same_v<C, Frame>, "the window shows no other kind of control");
        return ControlKind::Frame;
    }
}

// The window's own font, or the contact notices' link style (blue, bold, larger).
enum class FontRole
{
    Window,
    Link,
};

// A control that takes no keyboard focus.
inline constexpr int NoTabStop = -1;

struct ControlPlace
{
    template <typename C>
    ControlPlace(C& c, TwipsRect where, Frame* in, int tab, FontRole role = FontRole::Window)
        : control(&c), kind(KindOf<C>()), rect(where), container(in), tabIndex(tab), font(role)
    {
    }

    Control* control;
    ControlKind kind; // follows from the control's class
    TwipsRect rect;   // within the container
    Frame* container; // null: the window's client area
    int tabIndex;     // the Tab order; controls that share one are one stop (an option group)
    FontRole font;
};

// The client area.
inline constexpr int ClientWidthTwips = 10080;
inline constexpr int ClientHeightTwips = 4920;
// A pixel of the design, at 96 DPI.
inline constexpr int TwipsPerDesignPixel = 15;

// Every control the window shows, each container before what it contains.
std::vector<ControlPlace> WindowLayout(Form1& form);

// The controls that take the focus, in the Tab order; those that share a stop follow each other, the
// first of them standing for the stop.
std::vector<const ControlPlace*> FocusOrder(const std::vector<ControlPlace>& layout);

// The rectangle in the client area: its container's corner added.
TwipsRect InClientArea(const std::vector<ControlPlace>& layout, const ControlPlace& place);

// Pixels at the DPI for a length in twips, rounded to the nearest pixel (half away from zero).
// Convert each edge on its own, so that neighbours that touch in twips still touch in pixels.
int TwipsToPixels(int twips, unsigned dpi);
