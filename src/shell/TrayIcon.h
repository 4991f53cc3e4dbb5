// SPDX-License-Identifier: MIT
#pragma once

#include "shell/UiServices.h"

#include <cstddef>
#include <string>

class Form1;

// The tray tip holds at most this many bytes of text in the platform's encoding (64 with its NUL).
inline constexpr std::size_t TrayTipMaxBytes = 63;

// Adds the icon (TrayMessage::Add) or changes its tip (TrayMessage::Modify); the tip is the text cut
// to 63 bytes at a character boundary.
void SetTrayIcon(Form1& owner, const std::string& tipText, TrayMessage message);

// Puts the window's own handling in front of the icon's mouse notifications.
void InstallTraySubclass(Form1& owner);

// The two-step teardown: delete the icon, then restore the window's own handling. Safe to repeat.
void TearDownTray(Form1& owner);

// Hides the window while the tray icon is there to bring it back; otherwise minimises it, so that
// the operator can always reach it.
void HideToTray(Form1& owner);

// Sets the window caption and repeats it in the tray tip, as every status change does.
void ShowStatus(Form1& owner, const std::string& caption);
