// SPDX-License-Identifier: MIT
#pragma once

// The program's version, from the build.
extern const char* const ProgramVersion;
