// SPDX-License-Identifier: MIT
#pragma once

// The shell's header needs the system's base header first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

// The shell's header makes ShellExecute a macro for ShellExecuteW; the shell port's own method has
// that name, and must keep it in every file.
#undef ShellExecute
