// SPDX-License-Identifier: MIT
#include "common/Clock.h"

#include <cstdio>

std::string DateTimeText(const LocalDateTime& t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}
