// SPDX-License-Identifier: MIT
#pragma once

#include <string>

class Form1;

// The document the first contact notice opens, shipped in the "doc" folder beside the program (the
// second one's is the platform's, in Form1Services::notice).
inline constexpr const char* UserGuideDocument = "user-guide.html";

// Full path of a document shipped beside the program.
std::string DocumentPath(Form1& owner, const std::string& document);
