// SPDX-License-Identifier: MIT
#pragma once

#include "shell/InputFilters.h"
#include "winview/ViewLayout.h"

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

class CheckBox;
class CommandButton;
class Frame;
class Label;
class OptionButton;
class TextBox;

// One native control per model control. Each Bind* call shows the model's current state in the
// control, keeps the control following every later model change, and returns what the control's
// WM_COMMAND notifications do (called with the notification code).
using CommandHandler = std::function<void(WORD notification)>;

// The control's window class and style, without its place. Tab stops: every button, edit and check
// box is its own group; of the two option buttons only the first stops Tab, so the group is one
// stop, and the arrow keys move within it.
HWND CreateNativeControl(HWND parent, int id, NativeKind kind, bool firstOfGroup, bool password);

CommandHandler BindButton(CommandButton& button, HWND control, std::function<void()> onClick);
CommandHandler BindCheckBox(CheckBox& box, HWND control);
// `afterShow` runs whenever the control has shown the model's value.
CommandHandler BindOption(OptionButton& option, HWND control, std::function<void()> afterShow);
// The edit copies every change of its text into the model (EN_CHANGE); onLostFocus runs on EN_KILLFOCUS.
// Checking a radio button gives it the tab stop and unchecking takes it away, so a group with no
// checked button would drop out of the Tab order. The checked button of the group keeps the stop, or
// the first one while none is checked.
void KeepGroupTabStop(const std::vector<HWND>& group);

// What a field lets an edit leave in it: given the text before the change and after it, the text to
// keep and the caret in it (see FilterSecondsFieldEdit).
using EditFilter = std::function<SecondsFieldEdit(std::string_view before, std::string_view after)>;

// `filter`, when given, judges every change of the text before the model takes it (a paste, an input
// method's commit), and the edit is set back to what it keeps.
CommandHandler BindEdit(TextBox& box, HWND control, std::function<void()> onLostFocus = {}, EditFilter filter = {});
CommandHandler BindLabel(Label& label, HWND control, std::function<void()> onClick = {});
void BindFrame(Frame& frame, HWND control);

// Runs every character typed into the edit (WM_CHAR) through `filter` before the edit sees it: the
// filter returns the character to type, or 0 to discard the key. Tab, Escape and Delete are keys,
// not characters (IsKeyFilterCharacter), and reach the edit as they are. `filter` must outlive the
// edit.
void FilterTypedCharacters(HWND edit, const std::function<wchar_t(wchar_t)>* filter);

// The number of characters (code points) selected in the edit.
int SelectedCharacterCount(HWND edit);

// The control's text, and a new one set without a change notification when it is already shown.
std::wstring WindowText(HWND window);
void ShowText(HWND window, const std::string& utf8);
