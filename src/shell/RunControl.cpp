// SPDX-License-Identifier: MIT
#include "common/OperatorReport.h"
#include "monitor/CheckMetrics.h"
#include "shell/Form1.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

// The run state is the timer's enabled state alone; the button caption and the two menu items only
// follow it, and other handlers switch the timer without touching them.
void Form1::Command5_Click()
{
    if (Timer1.Enabled) {
        Command5.Caption = "タイマー開始";
        Menu_Start.Enabled = true;
        Menu_Stop.Enabled = false;
        Timer1.Enabled = false;
    } else {
        Command5.Caption = "タイマー停止";
        Menu_Start.Enabled = false;
        Menu_Stop.Enabled = true;
        Timer1.Enabled = true;
    }
    PublishMetrics(*this);
}

// Called directly, not through the button, so that they work while Command5 is disabled.
void Form1::Menu_Start_Click()
{
    Command5_Click();
}

void Form1::Menu_Stop_Click()
{
    Command5_Click();
}

void Form1::Menu_Open_Click()
{
    Visible = true;
    WindowState = 0;
}

void Form1::comEnd_Click()
{
    Visible = false;
}

void Form1::Menu_End_Click()
{
    services().lifetime.unloadWindow();
}

void Form1::Form_QueryUnload(int& cancel, int /*unloadMode*/)
{
    TearDownTray(*this);
    cancel = 0;
    services().report.event({EventName::Ended, {{"reason", "closed"}}});
    PublishMetrics(*this, true);
}
