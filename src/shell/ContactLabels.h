// SPDX-License-Identifier: MIT
#pragma once

#include <string>

class Form1;

inline constexpr int SW_SHOWNORMAL = 1;

// The two documents the contact notices open, shipped in the "doc" folder beside the program.
inline constexpr const char* UserGuideDocument = "user-guide.html";
inline constexpr const char* PlatformNotesDocument = "platform-notes.html";

// Asks the desktop to perform the operation on the file; the result is not looked at.
void ShellOpen(Form1& owner, const std::string& operation, const std::string& file, const std::string& parameters,
               const std::string& directory, int showCommand);

// Full path of a document shipped beside the program.
std::string DocumentPath(Form1& owner, const std::string& document);
