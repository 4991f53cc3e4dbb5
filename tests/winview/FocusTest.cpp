// SPDX-License-Identifier: MIT
// Keyboard focus through the dialog manager: the Tab order of the window, and the first control to
// have the focus.
#include "winview/WinViewHarness.h"

#include <gtest/gtest.h>

namespace {

class Focus : public ::testing::Test
{
protected:
    Focus() { h.showAndActivate(); }

    // Presses a key on the focused control as the keyboard would, through the program's own loop.
    void press(UINT key)
    {
        HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        h.pump();
    }

    WinViewHarness h;
    Form1& f = h.form;
};

std::string nameOf(const Control& control)
{
    return control.name() + (control.index() >= 0 ? "(" + std::to_string(control.index()) + ")" : "");
}

TEST_F(Focus, TheDialogManagerFollowsTheWindowsTabOrder)
{
    const auto order = f.tabOrder();
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Control& next = *order[(i + 1) % order.size()];
        EXPECT_EQ(GetNextDlgTabItem(h.window.hwnd(), h.handle(*order[i]), FALSE), h.handle(next))
            << "after " << nameOf(*order[i]) << " comes " << nameOf(next);
    }
}

TEST_F(Focus, TheTabKeyMovesThroughEveryStopAndBack)
{
    const auto order = f.tabOrder();
    SetFocus(h.handle(*order.front()));
    for (std::size_t i = 1; i < order.size(); ++i) {
        press(VK_TAB);
        ASSERT_EQ(GetFocus(), h.handle(*order[i])) << "Tab to " << nameOf(*order[i]);
    }
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), h.handle(*order.front())) << "around to the first";

    // Shift+Tab goes back.
    SetFocus(h.handle(f.txtSendto));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    press(VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetFocus(), h.handle(f.Command1));
}

TEST_F(Focus, TheOptionGroupIsOneStopAndTheArrowsMoveWithinIt)
{
    f.OptBoot(0).Value = true;
    EXPECT_EQ(GetNextDlgTabItem(h.window.hwnd(), h.handle(f.chkSysStart), FALSE), h.handle(f.OptBoot(0)));
    EXPECT_EQ(GetNextDlgTabItem(h.window.hwnd(), h.handle(f.OptBoot(0)), FALSE), h.handle(f.txtProxy));
    EXPECT_EQ(GetNextDlgGroupItem(h.window.hwnd(), h.handle(f.OptBoot(0)), FALSE), h.handle(f.OptBoot(1)));
    EXPECT_EQ(GetNextDlgGroupItem(h.window.hwnd(), h.handle(f.OptBoot(1)), FALSE), h.handle(f.OptBoot(0)));

    // The stop of the group is its chosen button, as everywhere on Windows.
    f.OptBoot(1).Value = true;
    EXPECT_EQ(GetNextDlgTabItem(h.window.hwnd(), h.handle(f.chkSysStart), FALSE), h.handle(f.OptBoot(1)));
    EXPECT_EQ(GetNextDlgTabItem(h.window.hwnd(), h.handle(f.OptBoot(1)), FALSE), h.handle(f.txtProxy));
    SendMessageW(h.handle(f.OptBoot(0)), BM_CLICK, 0, 0);
    EXPECT_EQ(GetNextDlgTabItem(h.window.hwnd(), h.handle(f.chkSysStart), FALSE), h.handle(f.OptBoot(0)));
}

TEST(FirstFocus, TheFirstEnabledControlOfTheTabOrderHasTheFocusAtFirstShow)
{
    WinViewHarness h;
    h.form.手動チェック.Enabled = false;
    h.form.IIS(0).Enabled = false;
    h.showAndActivate();
    EXPECT_EQ(GetFocus(), h.handle(h.form.IIS(1)));
}

} // namespace
