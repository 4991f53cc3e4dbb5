// SPDX-License-Identifier: MIT
#pragma once

#include "shell/WindowLayout.h"

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
// WM_COMMAND notifications do (called with the notification code): they raise the control's slots.
using CommandHandler = std::function<void(WORD notification)>;

// The control's window class and style, without its place. Tab stops: every button, edit and check
// box is its own group; of the option buttons that share a stop only the first stops Tab, so the group
// is one stop, and the arrow keys move within it. A clickable label reports its clicks (SS_NOTIFY).
HWND CreateNativeControl(HWND parent, int id, ControlKind kind, bool firstOfGroup, bool password, bool clickable);

CommandHandler BindButton(CommandButton& button, HWND control);
CommandHandler BindCheckBox(CheckBox& box, HWND control);
// `afterShow` runs whenever the control has shown the model's value.
CommandHandler BindOption(OptionButton& option, HWND control, std::function<void()> afterShow);
// Checking a radio button gives it the tab stop and unchecking takes it away, so a group with no
// checked button would drop out of the Tab order. The checked button of the group keeps the stop, or
// the first one while none is checked.
void KeepGroupTabStop(const std::vector<HWND>& group);

// The edit copies every change of its text into the model (EN_CHANGE), through the box's Change slot
// (a paste, an input method's commit), and is set back to what the box keeps; EN_KILLFOCUS raises
// LostFocus. Every character typed into it (WM_CHAR) goes through the box's KeyPress slot before the
// edit sees it, and a discarded key never reaches it; Tab, Escape and Delete are keys, not characters
// (IsKeyFilterCharacter), and reach the edit as they are. The box must outlive the edit.
CommandHandler BindEdit(TextBox& box, HWND control);
CommandHandler BindLabel(Label& label, HWND control);
void BindFrame(Frame& frame, HWND control);

// The number of characters (code points) selected in the edit.
int SelectedCharacterCount(HWND edit);

// The control's text, and a new one set without a change notification when it is already shown.
std::wstring WindowText(HWND window);
void ShowText(HWND window, const std::string& utf8);
