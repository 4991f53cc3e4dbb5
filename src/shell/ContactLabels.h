// SPDX-License-Identifier: MIT
#pragma once

#include <string>

class Form1;

// The two documents the contact notices open, shipped in the "doc" folder beside the program.
inline constexpr const char* UserGuideDocument = "user-guide.html";
inline constexpr const char* PlatformNotesDocument = "platform-notes.html";

// Full path of a document shipped beside the program.
std::string DocumentPath(Form1& owner, const std::string& document);
