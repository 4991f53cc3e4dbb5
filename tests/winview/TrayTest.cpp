// SPDX-License-Identifier: MIT
// The tray icon and the window subclass on the real notification area: the tip repeats the caption,
// the right button released over the icon pops the menu, the window's own mouse messages never do,
// and the teardown takes both away for good.
#include "shell/TrayIcon.h"
#include "win/WideText.h"
#include "winview/ModalDriver.h"
#include "winview/WinViewHarness.h"

#include <gtest/gtest.h>

namespace {

class Tray : public ::testing::Test
{
protected:
    Tray() { f.Form_Load(); }

    // Sends the window a message; true when a popup menu opened while it was handled. `whileOpen`
    // acts on the open menu (by default it closes it).
    bool opensMenu(UINT message, WPARAM wParam, LPARAM lParam, std::function<void(HWND menu)> whileOpen = {})
    {
        bool opened = false;
        ModalDriver driver([&] {
            HWND menu = FindThreadWindow(L"#32768");
            if (menu == nullptr) {
                return false;
            }
            opened = true;
            foregroundWhileOpen = GetForegroundWindow();
            if (whileOpen) {
                whileOpen(menu);
            } else {
                EndMenu();
            }
            return true;
        });
        SendMessageW(h.window.hwnd(), message, wParam, lParam);
        return opened;
    }

    bool rightClickOnIcon(std::function<void(HWND menu)> whileOpen = {})
    {
        return opensMenu(TrayCallbackMessage, TrayIconId, WM_RBUTTONUP, std::move(whileOpen));
    }

    WNDPROC windowProcedure() const
    {
        return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h.window.hwnd(), GWLP_WNDPROC));
    }

    WinViewHarness h;
    Form1& f = h.form;
    HWND foregroundWhileOpen = nullptr;
};

TEST_F(Tray, StartUpAddsTheIconWithTheCaptionAsTipBehindThePrivateCallback)
{
    EXPECT_TRUE(IconInTray(h.window.hwnd()));
    const NOTIFYICONDATAW& record = h.tray.record();
    EXPECT_EQ(record.hWnd, h.window.hwnd());
    EXPECT_EQ(record.uID, 1U);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(record.uCallbackMessage, static_cast<UINT>(WM_APP + 1)) << "never a mouse message";
    EXPECT_NE(record.hIcon, nullptr);
    EXPECT_EQ(Narrow(record.szTip), "Sentrybell");
    EXPECT_EQ(windowProcedure(), &WinTray::TrayWindowProc) << "the window is subclassed";
}

TEST_F(Tray, TheTipRepeatsEveryCaptionCutTo63AnsiBytes)
{
    ShowStatus(f, "チェックファイル受信中");
    EXPECT_EQ(TextOf(h.window.hwnd()), "チェックファイル受信中");
    EXPECT_EQ(Narrow(h.tray.record().szTip), "チェックファイル受信中");

    ShowStatus(f, std::string(70, 'c'));
    EXPECT_EQ(TextOf(h.window.hwnd()).size(), 70U);
    EXPECT_EQ(Narrow(h.tray.record().szTip), std::string(63, 'c'));

    // Two bytes a character in code page 932: 31 characters fit, the 32nd would split.
    std::string wide;
    for (int i = 0; i < 40; ++i) {
        wide += "受";
    }
    ShowStatus(f, wide);
    EXPECT_EQ(Widen(Narrow(h.tray.record().szTip)).size(), 31U);
    EXPECT_TRUE(IconInTray(h.window.hwnd()));
}

TEST_F(Tray, TheRightButtonReleasedOverTheIconPopsTheMenuWithTheWindowInFront)
{
    EXPECT_TRUE(rightClickOnIcon());
    EXPECT_EQ(foregroundWhileOpen, h.window.hwnd()) << "or the menu would not close on a click elsewhere";
}

TEST_F(Tray, OtherNotificationsOfTheIconOpenNothing)
{
    for (UINT mouse :
         {UINT{WM_RBUTTONDOWN}, UINT{WM_LBUTTONDOWN}, UINT{WM_LBUTTONUP}, UINT{WM_LBUTTONDBLCLK}, UINT{WM_MOUSEMOVE}}) {
        EXPECT_FALSE(opensMenu(TrayCallbackMessage, TrayIconId, mouse)) << std::hex << mouse;
    }
}

TEST_F(Tray, MouseMessagesInsideTheWindowNeverOpenTheMenu)
{
    // With WM_RBUTTONDOWN as the callback, a press at x = 517 (0x205, WM_RBUTTONUP), y = 0 opened it.
    EXPECT_FALSE(opensMenu(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(517, 0)));
    EXPECT_FALSE(opensMenu(WM_RBUTTONUP, 0, MAKELPARAM(517, 0)));
    EXPECT_FALSE(opensMenu(WM_RBUTTONUP, 0, MAKELPARAM(10, 10)));
    EXPECT_FALSE(opensMenu(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h.window.hwnd()), MAKELPARAM(517, 0)));
}

TEST_F(Tray, TheChosenItemHasRunWhenThePopupReturns)
{
    f.Timer1.Enabled = true;
    ASSERT_TRUE(rightClickOnIcon([](HWND menu) { PostMessageW(menu, WM_CHAR, L's', 0); }));
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_EQ(f.Command5.Caption(), "タイマー開始");
    EXPECT_TRUE(f.Menu_Start.Enabled());
    EXPECT_FALSE(f.Menu_Stop.Enabled());
}

TEST_F(Tray, EndFromTheMenuUnloadsTheWindowAndEndsTheLoop)
{
    ASSERT_TRUE(rightClickOnIcon([](HWND menu) {
        PostMessageW(menu, WM_KEYDOWN, VK_UP, 0); // from nothing selected, up selects the last item
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    }));
    EXPECT_FALSE(IsWindow(h.window.hwnd()));
    EXPECT_FALSE(IconInTray(h.window.hwnd()));
    EXPECT_FALSE(h.pump()) << "WM_QUIT is on its way";
    EXPECT_FALSE(h.lifetime.endedAtOnce());
}

TEST_F(Tray, TheTeardownRemovesIconAndSubclassForGoodAndIsSafeTwice)
{
    const HWND window = h.window.hwnd();
    TearDownTray(f);
    EXPECT_FALSE(IconInTray(window));
    EXPECT_NE(windowProcedure(), &WinTray::TrayWindowProc);
    EXPECT_FALSE(rightClickOnIcon());
    ShowStatus(f, "受信エラー発生！！");
    EXPECT_FALSE(IconInTray(window)) << "a tip change finds no icon to bring back";
    EXPECT_EQ(TextOf(window), "受信エラー発生！！");

    const WNDPROC restored = windowProcedure();
    TearDownTray(f);
    EXPECT_EQ(windowProcedure(), restored);
    EXPECT_FALSE(IconInTray(window));
    SendMessageW(h.handle(f.comEnd), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window)) << "the window goes on working";
}

TEST_F(Tray, ARecreatedTaskbarGetsTheIconBackOnlyWhileItIsMeantToBeThere)
{
    const HWND window = h.window.hwnd();
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    // The notification area forgets the icon, as when Explorer restarts.
    NOTIFYICONDATAW forget = h.tray.record();
    Shell_NotifyIconW(NIM_DELETE, &forget);
    ASSERT_FALSE(IconInTray(window));
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(IconInTray(window));

    TearDownTray(f);
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_FALSE(IconInTray(window));
}

TEST_F(Tray, WhileABoxIsOpenTheIconOpensNoMenu)
{
    bool boxOpened = false;
    bool openedWhileBox = true;
    h.fakes.messageBox.whileOpen = [&] {
        boxOpened = true;
        openedWhileBox = rightClickOnIcon();
    };
    SendMessageW(h.handle(f.Command1), BM_CLICK, 0, 0); // refused: a box
    ASSERT_TRUE(boxOpened);
    EXPECT_FALSE(openedWhileBox);
    h.fakes.messageBox.whileOpen = {};
    EXPECT_TRUE(rightClickOnIcon()) << "the menu opens again once the box is closed";
}

TEST_F(Tray, WithoutTheIconTheCloseButtonMinimises)
{
    h.showAndActivate();
    TearDownTray(f); // as after an alert
    SendMessageW(h.handle(f.comEnd), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(h.window.hwnd())) << "nothing could bring a hidden window back";
    EXPECT_TRUE(IsIconic(h.window.hwnd()));
}

TEST_F(Tray, TheCloseBoxUnloadsTheWindow)
{
    const HWND window = h.window.hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IconInTray(window)) << "Form_QueryUnload tore the tray down";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(h.pump());
}

TEST_F(Tray, EndingAtOnceLeavesTheLoopWithoutUnloadHandling)
{
    h.lifetime.endNow();
    EXPECT_FALSE(h.pump());
    EXPECT_TRUE(h.lifetime.endedAtOnce());
    EXPECT_TRUE(IsWindow(h.window.hwnd())) << "no WM_CLOSE, no Form_QueryUnload";
    EXPECT_TRUE(IconInTray(h.window.hwnd()));
}

TEST(TrayAtStartUp, KidouStartsWithOnlyTheTrayIcon)
{
    WinViewHarness h;
    h.files.files["/opt/sentrybell/SETTING.ini"] = "[SETTING]\r\nKIDOU=1\r\n";
    h.form.Form_Load();
    h.window.showAsModelSays();
    EXPECT_FALSE(IsWindowVisible(h.window.hwnd()));
    EXPECT_TRUE(IconInTray(h.window.hwnd()));

    h.form.Menu_Open_Click();
    EXPECT_TRUE(IsWindowVisible(h.window.hwnd()));
    EXPECT_FALSE(IsIconic(h.window.hwnd()));
}

} // namespace
