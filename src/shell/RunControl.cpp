// SPDX-License-Identifier: MIT
#include "shell/RunControl.h"

#include "common/OperatorReport.h"
#include "monitor/CheckMetrics.h"
#include "shell/Form1.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

namespace {

void showTimerRunning(Form1& f)
{
    f.Command5.Caption = "タイマー停止";
    f.Menu_Start.Enabled = false;
    f.Menu_Stop.Enabled = true;
}

} // namespace

void ShowTimerStopped(Form1& f)
{
    f.Command5.Caption = "タイマー開始";
    f.Menu_Start.Enabled = true;
    f.Menu_Stop.Enabled = false;
}

// The run state is the timer's enabled state alone; the button caption and the two menu items only
// follow it. Other handlers switch the timer without touching them, but for the manual check, which
// leaves the timer off and shows it so.
void Form1::Command5_Click()
{
    if (Timer1.Enabled) {
        ShowTimerStopped(*this);
        Timer1.Enabled = false;
    } else {
        showTimerRunning(*this);
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

// The view brings the window to the front besides.
void Form1::Form_AnotherStart()
{
    Menu_Open_Click();
}

void Form1::comEnd_Click()
{
    HideToTray(*this);
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
