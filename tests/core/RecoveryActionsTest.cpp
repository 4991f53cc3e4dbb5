// SPDX-License-Identifier: MIT
#include "monitor/RecoveryActions.h"

#include "fakes/FakeProcessLauncher.h"
#include "fakes/FormHarness.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

class RecoveryActions : public ::testing::Test
{
protected:
    FormHarness h;
    FakeProcessLauncher& launcher = h.launcher;
};

TEST_F(RecoveryActions, EachButtonStartsIisresetWithItsSwitch)
{
    h.environment.folder = "/opt/sentrybell";
    for (int index = 0; index < 4; ++index) {
        h.form.IIS_Click(index);
    }
    ASSERT_EQ(launcher.starts.size(), 4u);
    const Args expected[] = {{"/RESTART"}, {"/START"}, {"/STOP"}, {"/REBOOT"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(launcher.starts[i].program, "/opt/sentrybell/iisreset");
        EXPECT_EQ(launcher.starts[i].arguments, expected[i]);
    }
}

TEST_F(RecoveryActions, IndexOutsideTheFourButtonsStartsNothing)
{
    h.form.IIS_Click(-1);
    h.form.IIS_Click(4);
    h.form.IIS_Click(1000);
    EXPECT_TRUE(launcher.starts.empty());
}

TEST_F(RecoveryActions, FolderWithSpacesStaysOneProgramPath)
{
    h.environment.folder = "/srv/web tools/sentry bell";
    RunIisReset(h.form, IisRestart);
    ASSERT_EQ(launcher.starts.size(), 1u);
    EXPECT_EQ(launcher.starts[0].program, "/srv/web tools/sentry bell/iisreset");
    EXPECT_EQ(launcher.starts[0].arguments, Args{"/RESTART"});
}

TEST_F(RecoveryActions, ButtonLeavesCaptionCountTimerAndTrayAlone)
{
    h.form.Caption = "before";
    h.form.errCount = 1;
    h.form.Timer1.Enabled = true;
    h.form.Timer1.Interval = 7000;
    const auto trayCalls = h.tray.calls.size();
    h.form.IIS_Click(2);
    EXPECT_EQ(h.form.Caption(), "before");
    EXPECT_EQ(h.form.errCount, 1);
    EXPECT_TRUE(h.form.Timer1.Enabled());
    EXPECT_EQ(h.form.Timer1.Interval(), 7000);
    EXPECT_EQ(h.tray.calls.size(), trayCalls);
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST_F(RecoveryActions, FailedStartIsNotAnErrorOfTheWindow)
{
    launcher.succeed = false;
    h.form.IIS_Click(0);
    EXPECT_EQ(launcher.starts.size(), 1u);
    EXPECT_TRUE(h.messageBox.shown.empty());
}

// A Windows system: back-slashes and the .exe suffix come from the environment.
class WindowsEnvironment : public FakeEnvironment
{
public:
    char pathSeparator() const override { return '\\'; }
    std::string executableSuffix() const override { return ".exe"; }
};

TEST(RecoveryActionsOnWindows, CommandIsTheSystemDirectoryFollowedByIisresetExe)
{
    WindowsEnvironment windows;
    windows.folder = "C:\\WINNT\\system32";
    FormHarness h({.environment = &windows});
    Form1& form = h.form;
    FakeProcessLauncher& launcher = h.launcher;

    EXPECT_EQ(SystemDirectory(form), "C:\\WINNT\\system32");
    form.IIS_Click(0);
    ASSERT_EQ(launcher.starts.size(), 1u);
    EXPECT_EQ(launcher.starts[0].program, "C:\\WINNT\\system32\\iisreset.exe");
    EXPECT_EQ(launcher.starts[0].arguments, Args{"/RESTART"});
}

} // namespace
