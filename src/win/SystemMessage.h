// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <windows.h>

// The system's text for an error code, in UTF-8, followed by the number: "Access is denied. (error 5)".
std::string SystemMessage(DWORD error);
