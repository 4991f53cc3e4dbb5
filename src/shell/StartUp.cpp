// SPDX-License-Identifier: MIT
#include "shell/Form1.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

void Form1::Form_Load()
{
    errCount = 0;

    // The tray menu offers stop, whatever start-up decided about the timer.
    Menu_Start.Enabled = false;
    Menu_Stop.Enabled = true;

    InstallTraySubclass(*this);
    SetTrayIcon(*this, Caption, NIM_ADD);
}
