// SPDX-License-Identifier: MIT
#include "fakes/FormHarness.h"
#include "shell/TrayIcon.h"

#include <gtest/gtest.h>

namespace {

class RunControl : public ::testing::Test
{
protected:
    RunControl()
    {
        f.Form_Load();
        f.Timer1.Interval = 30000;
        f.Timer1.Enabled = true;
    }
    FormHarness h;
    Form1& f = h.form;
};

TEST_F(RunControl, ToggleStopsARunningTimerAndOffersStart)
{
    f.Command5_Click();
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_EQ(f.Command5.Caption(), "タイマー開始");
    EXPECT_TRUE(f.Menu_Start.Enabled());
    EXPECT_FALSE(f.Menu_Stop.Enabled());
    EXPECT_FALSE(h.timer.fireNext()) << "no tick may arrive while stopped";
}

TEST_F(RunControl, SecondToggleRestartsWithTheSameInterval)
{
    f.Command5_Click();
    f.Command5_Click();
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 30000);
    EXPECT_EQ(f.Command5.Caption(), "タイマー停止");
    EXPECT_FALSE(f.Menu_Start.Enabled());
    EXPECT_TRUE(f.Menu_Stop.Enabled());
    EXPECT_EQ(h.timer.dueAt(), h.clock.steadyNow() + std::chrono::milliseconds(30000));
}

TEST_F(RunControl, ToggleDecidesByTheTimerNotByTheCaption)
{
    // A manual check leaves the timer off while the caption still offers to stop it.
    f.Timer1.Enabled = false;
    f.Command5_Click();
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Command5.Caption(), "タイマー停止");
}

TEST_F(RunControl, TrayMenuTogglesEvenWhileTheButtonIsDisabled)
{
    // Start-up with incomplete settings: timer off, toggle disabled, the menu offering stop.
    f.Timer1.Enabled = false;
    f.Command5.Enabled = false;
    f.Menu_Stop_Click();
    EXPECT_TRUE(f.Timer1.Enabled());
    f.Menu_Start_Click();
    EXPECT_FALSE(f.Timer1.Enabled()) << "either item runs the same toggle";
}

TEST_F(RunControl, CloseButtonOnlyHidesAndChecksGoOn)
{
    f.comEnd_Click();
    EXPECT_FALSE(f.Visible());
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_TRUE(h.tray.iconShown);
    EXPECT_EQ(h.lifetime.unloads, 0);
}

TEST_F(RunControl, WithoutATrayIconTheCloseButtonMinimisesInstead)
{
    f.Menu_Open_Click();
    TearDownTray(f); // after an alert, or two failed manual checks
    f.comEnd_Click();
    EXPECT_TRUE(f.Visible()) << "nothing could bring a hidden window back";
    EXPECT_EQ(f.WindowState(), 1);
}

TEST_F(RunControl, ShowRestoresAMinimisedOrHiddenWindow)
{
    f.WindowState = 1;
    f.Visible = false;
    f.Menu_Open_Click();
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.WindowState(), 0);
}

TEST_F(RunControl, EndUnloadsTheWindow)
{
    f.Menu_End_Click();
    EXPECT_EQ(h.lifetime.unloads, 1);
    EXPECT_EQ(h.lifetime.endings, 0);
}

TEST_F(RunControl, UnloadTearsTheTrayDownIconFirstAndNeverCancels)
{
    h.tray.calls.clear();
    int cancel = 1;
    f.Form_QueryUnload(cancel, 0);
    EXPECT_EQ(cancel, 0);
    EXPECT_EQ(h.tray.calls, (std::vector<std::string>{"delete", "restore"}));
    EXPECT_FALSE(h.tray.iconShown);
    EXPECT_FALSE(h.tray.subclassed);
}

} // namespace
