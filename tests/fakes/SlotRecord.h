// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Controls.h"

#include <cstdint>
#include <string>
#include <vector>

// What a view raised on a text box's slots, for the views' tests: each typed key with the selection
// it replaced, each other change as "before|after", each focus loss.
struct SlotRecord
{
    std::vector<std::int16_t> keys;
    std::vector<int> selections;
    std::vector<std::string> changes;
    int focusLosses = 0;
};

// Binds recording slots to the box: KeyPress discards "x" and Ctrl+V (22) and takes every other key;
// Change keeps the ASCII digits of the text after the change, the caret after them. The record must
// outlive the view, which may raise the slots while it goes.
void RecordSlots(TextBox& box, SlotRecord& record);
