// SPDX-License-Identifier: MIT
#pragma once

#include <string>

class Control;
class Form1;

// The one message of both saves, shown when a save keeps nothing.
inline constexpr const char* SaveRefusedText = "設定できませんでした。";

// Shows the box, and reports why (the field, or the file's error) to the operator's log, so that an
// operator can tell what to mend; the box keeps its one text. Once the box is closed the field to
// mend, when one is to blame, has the focus.
void RefuseSave(Form1& form, const std::string& why, Control* field = nullptr);
