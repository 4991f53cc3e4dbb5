// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

class Form1;
class TextBox;

// The first text box of the window that keeps the settings from being complete, and why: for
// standard error, with the control's name, and in the window's own words.
struct IncompleteField
{
    const TextBox* field;
    std::string reason; // "is empty"
    std::string shown;  // "CCメールアドレス が空です"
};

// The name the window gives a text box: the caption of the label that names it, without the hint in
// brackets some labels add (the field of "受信ﾀｲﾑｱｳﾄ（最大60秒まで）" is 受信ﾀｲﾑｱｳﾄ).
std::string FieldCaption(Form1& form, const TextBox& box);

// Looks at every text box in the window's order and stops at the first that fails: every box but
// txtProxy must be filled (a blank counts), txtTimeout and txtTimer must hold what their rules take
// (FieldRules.h), the folder part of txtLog and the whole of txtParaPath must exist. Nothing when all
// pass.
std::optional<IncompleteField> FirstIncompleteField(Form1& form);

// True when the check timer may run. Reads the controls only.
bool SettingsComplete(Form1& form);

// The one rule by which start-up and both saves start or stop the checks: with complete settings
// Timer1 gets the interval of txtTimer and runs, and 手動チェック and Command5 are enabled; otherwise
// all three are disabled and the field to blame is written to standard error, so an operator
// running the program headless can see why the checks stay off, and named in the tooltip of both
// disabled buttons, in the window's words, so that one at the window sees it there. No caption or
// menu item changes.
void RearmTimer(Form1& form);

// The tooltips of RearmTimer alone: 手動チェック and Command5 name the first field at fault, or
// nothing when the settings are complete.
void ShowFieldAtFault(Form1& form);
