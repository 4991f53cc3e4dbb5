// SPDX-License-Identifier: MIT
#include "shell/Form1.h"

// Not built yet: the handler does nothing.
void Form1::手動チェック_Click()
{
}

