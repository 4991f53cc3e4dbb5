// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Controls.h"

#include <cstdint>
#include <string_view>

// Returns keyCode when its character occurs in allowed (exact comparison), otherwise 0: the code of
// a discarded key.
std::int16_t FilterKey(std::int16_t keyCode, std::string_view allowed);

// The number formed by the text's leading ASCII digits, 0 when it has none; saturates instead of
// overflowing on a long run of digits.
long long LeadingNumber(std::string_view text);

// Tab, Escape and Delete come with a character code (9, 27, 127) on some platforms, but they are keys
// with a meaning of their own (move on, cancel, delete the next character), never text: a view hands
// them to the control, and only the other codes to a key filter. The arrow keys have no code at all.
bool IsKeyFilterCharacter(std::uint32_t code);

// The text a seconds field (txtTimeout, txtTimer) may hold after an edit that turned `before` into
// `after` other than by typed keys: a paste, an input method's committed text, a drop. What the edit
// inserted is taken character by character through the fields' key filter, as if typed where it was
// inserted (the first character replacing what the edit replaced), and the characters the filter
// discards are left out; when it discards them all, the field keeps its text. Control characters
// are never inserted; a deletion passes as it is. It is the two fields' Change slot, which both views
// raise for every change that is not a typed key, so that no way of entering text goes around the filter.
TextEdit FilterSecondsFieldEdit(std::string_view before, std::string_view after);
