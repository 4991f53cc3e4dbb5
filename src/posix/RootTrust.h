// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

// What a program running as root may take its settings from: only what root alone controls, the
// rule sshd, cron and sudo apply to their own files. Settings that anyone else may change would turn
// that user's edits into root's file writes (the log, the page copy) and root's commands.
//
// Nothing when the effective user is not root, or when the settings file and every folder above it
// belong to root and nobody else may write them. A folder above the file's own may be writable by
// others when it is sticky (as /tmp is): nobody else may then rename or remove root's folder in it.
// No link is followed on the way, and a missing file is fine (only root could create it there).
// Otherwise the refusal: what is wrong, naming the file, and how to fix it, one line.
std::optional<std::string> RootRefusal(const std::string& settingsPath);
