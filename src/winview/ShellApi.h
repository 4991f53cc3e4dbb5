// SPDX-License-Identifier: MIT
#pragma once

// The shell's header needs the system's base header first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
