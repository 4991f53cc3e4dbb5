// SPDX-License-Identifier: MIT
#include "common/ProgramVersion.h"

const char* const ProgramVersion = SENTRYBELL_VERSION;
