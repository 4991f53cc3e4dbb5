// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

class Form1;

// The switches of the iisreset command.
inline constexpr std::string_view IisRestart = "/RESTART";
inline constexpr std::string_view IisStart = "/START";
inline constexpr std::string_view IisStop = "/STOP";
inline constexpr std::string_view IisReboot = "/REBOOT";

// The folder that holds the iisreset command, without a trailing separator; empty when unknown.
std::string SystemDirectory(Form1& form);

// Starts "<SystemDirectory><separator>iisreset<suffix>" with `switchText` as its one argument and
// returns at once: true when the command was started (the launcher reports one that could not be).
// How it ended is not examined.
bool RunIisReset(Form1& form, std::string_view switchText);

// The recovery after failed checks: RunIisReset with /RESTART or /REBOOT, counted for the metrics
// and told to the machine's log when the command was started.
void StartRecovery(Form1& form, std::string_view switchText);
