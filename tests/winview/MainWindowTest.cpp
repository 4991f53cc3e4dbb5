// SPDX-License-Identifier: MIT
// The native window: one control per model control with its class, caption, style and design-time
// value, laid out from twips at the monitor's DPI, in a font that has every Japanese caption.
#include "win/WideText.h"
#include "winview/Dpi.h"
#include "winview/ModalDriver.h"
#include "winview/WinViewHarness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class NativeWindow : public ::testing::Test
{
protected:
    WinViewHarness h;
    Form1& f = h.form;
};

SIZE sizeOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE clientSizeOf(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

LONG buttonType(HWND window)
{
    return StyleOf(window) & BS_TYPEMASK;
}

TEST_F(NativeWindow, EveryControlIsANativeControlShowingItsDesignTimeState)
{
    int checked = 0;
    for (Control* control : f.controls()) {
        if (dynamic_cast<MenuItem*>(control) || dynamic_cast<Menu*>(control) || dynamic_cast<Timer*>(control)) {
            EXPECT_EQ(h.handle(*control), nullptr);
            continue;
        }
        const std::string name = control->name() + "(" + std::to_string(control->index()) + ")";
        HWND native = h.handle(*control);
        ASSERT_NE(native, nullptr) << name;
        EXPECT_EQ(GetParent(native), h.window.hwnd()) << name;
        EXPECT_TRUE(IsWindowVisible(native) || !IsWindowVisible(h.window.hwnd())) << name;
        if (auto* box = dynamic_cast<TextBox*>(control)) {
            EXPECT_EQ(ClassOf(native), "Edit") << name;
            EXPECT_EQ(TextOf(native), box->Text()) << name;
            EXPECT_EQ((StyleOf(native) & ES_PASSWORD) != 0, box->isPassword()) << name;
        } else if (auto* button = dynamic_cast<CommandButton*>(control)) {
            EXPECT_EQ(ClassOf(native), "Button") << name;
            EXPECT_EQ(buttonType(native), BS_PUSHBUTTON) << name;
            EXPECT_EQ(TextOf(native), button->Caption()) << name;
        } else if (auto* check = dynamic_cast<CheckBox*>(control)) {
            EXPECT_EQ(buttonType(native), BS_AUTOCHECKBOX) << name;
            EXPECT_EQ(TextOf(native), check->Caption()) << name;
            EXPECT_EQ(SendMessageW(native, BM_GETCHECK, 0, 0), BST_UNCHECKED) << name;
        } else if (auto* option = dynamic_cast<OptionButton*>(control)) {
            EXPECT_EQ(buttonType(native), BS_RADIOBUTTON) << name;
            EXPECT_EQ(TextOf(native), option->Caption()) << name;
            EXPECT_EQ(SendMessageW(native, BM_GETCHECK, 0, 0), BST_UNCHECKED) << name;
        } else if (auto* frame = dynamic_cast<Frame*>(control)) {
            EXPECT_EQ(buttonType(native), BS_GROUPBOX) << name;
            EXPECT_EQ(TextOf(native), frame->Caption()) << name;
        } else if (auto* label = dynamic_cast<Label*>(control)) {
            EXPECT_EQ(ClassOf(native), "Static") << name;
            EXPECT_EQ(TextOf(native), label->Caption()) << name;
            EXPECT_EQ(StyleOf(native) & WS_TABSTOP, 0) << name;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 55) << "every control but the menu and the timer";
    EXPECT_EQ(TextOf(h.handle(f.txtUser)), "Administrator");
    EXPECT_EQ(TextOf(h.handle(f.txtUrl)), "http://");
    EXPECT_EQ(TextOf(h.window.hwnd()), "Sentrybell");
    EXPECT_EQ(f.hWnd, reinterpret_cast<WindowHandle>(h.window.hwnd())) << "the dialogs' owner";
}

TEST_F(NativeWindow, PasswordEditsShowAStarPerCharacter)
{
    for (TextBox* box : {&f.txtUserPass, &f.txtPass}) {
        EXPECT_EQ(SendMessageW(h.handle(*box), EM_GETPASSWORDCHAR, 0, 0), L'*') << box->name();
    }
    EXPECT_EQ(SendMessageW(h.handle(f.txtUser), EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(NativeWindow, SizesComeFromTheTwipsAt96Dpi)
{
    ASSERT_EQ(h.window.dpi(), 96U) << "the test display runs at 96 DPI";
    EXPECT_EQ(clientSizeOf(h.window.hwnd()).cx, 672);
    EXPECT_EQ(clientSizeOf(h.window.hwnd()).cy, 328);
    for (Control* button :
         {static_cast<Control*>(&f.手動チェック), static_cast<Control*>(&f.IIS(3)), static_cast<Control*>(&f.comEnd)}) {
        EXPECT_EQ(sizeOf(h.handle(*button)).cx, 89) << "1335 twips";
        EXPECT_EQ(sizeOf(h.handle(*button)).cy, 33) << "495 twips";
    }
    EXPECT_EQ(sizeOf(h.handle(f.Frame1)).cx, 265);
    EXPECT_EQ(sizeOf(h.handle(f.Frame1)).cy, 308);
    EXPECT_EQ(sizeOf(h.handle(f.Frame2)).cx, 289);
    EXPECT_EQ(sizeOf(h.handle(f.Frame2)).cy, 310);
    EXPECT_EQ(sizeOf(h.handle(f.txtTimeout)).cx, 26) << "390 twips";
    EXPECT_EQ(sizeOf(h.handle(f.Command1)).cx, 241) << "3615 twips";
    EXPECT_EQ(sizeOf(h.handle(f.Command2)).cx, 252) << "3780 twips";
}

TEST_F(NativeWindow, AMonitorOfAnotherScaleScalesEverything)
{
    const HWND window = h.window.hwnd();
    const auto fontHeight = [](HWND control) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
        return std::abs(font.lfHeight);
    };
    const LONG smallFont = fontHeight(h.handle(f.txtLog));
    RECT suggested{100, 80, 1100, 700};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(h.window.dpi(), 144U);
    EXPECT_EQ(clientSizeOf(window).cx, 1008);
    EXPECT_EQ(clientSizeOf(window).cy, 492);
    EXPECT_EQ(sizeOf(h.handle(f.手動チェック)).cx, 134) << "1335 twips at 144 DPI, rounded";
    EXPECT_EQ(smallFont, 11);
    EXPECT_EQ(fontHeight(h.handle(f.txtLog)), 17) << "11 pixels at 96 DPI, 16.5 at 144, rounded";
    RECT placed{};
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, 100) << "where the system suggested";
    EXPECT_EQ(placed.top, 80);
}

TEST_F(NativeWindow, ModelChangesShowAtOnceAndEditsReachTheModel)
{
    f.txtUrl.Text = "http://127.0.0.1/check.htm";
    EXPECT_EQ(TextOf(h.handle(f.txtUrl)), "http://127.0.0.1/check.htm");
    f.Command5.Caption = "タイマー開始";
    EXPECT_EQ(TextOf(h.handle(f.Command5)), "タイマー開始");
    f.手動チェック.Enabled = false;
    EXPECT_FALSE(IsWindowEnabled(h.handle(f.手動チェック)));
    f.chkSysStart.Value = 1;
    EXPECT_EQ(SendMessageW(h.handle(f.chkSysStart), BM_GETCHECK, 0, 0), BST_CHECKED);
    f.OptBoot(1).Value = true;
    EXPECT_EQ(SendMessageW(h.handle(f.OptBoot(1)), BM_GETCHECK, 0, 0), BST_CHECKED);

    SetWindowTextW(h.handle(f.txtLog), L"C:\\inetpub\\logs\\iiserr.txt");
    EXPECT_EQ(f.txtLog.Text(), "C:\\inetpub\\logs\\iiserr.txt");
    SendMessageW(h.handle(f.chkKidou), BM_CLICK, 0, 0);
    EXPECT_EQ(f.chkKidou.Value(), 1);
    SendMessageW(h.handle(f.OptBoot(0)), BM_CLICK, 0, 0);
    EXPECT_TRUE(f.OptBoot(0).Value());
    EXPECT_FALSE(f.OptBoot(1).Value());
    EXPECT_EQ(SendMessageW(h.handle(f.OptBoot(1)), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(h.handle(f.OptBoot(0)), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(h.handle(f.OptBoot(0)), BM_GETCHECK, 0, 0), BST_CHECKED) << "a second click keeps it";

    f.Command5.Enabled = true;
    f.Timer1.Enabled = true;
    SendMessageW(h.handle(f.Command5), BM_CLICK, 0, 0);
    EXPECT_FALSE(f.Timer1.Enabled()) << "the click ran Command5_Click";
    SendMessageW(h.handle(f.comEnd), BM_CLICK, 0, 0);
    EXPECT_EQ(f.WindowState(), 1) << "no tray icon here to bring a hidden window back: minimised";
}

TEST_F(NativeWindow, ContactNoticesLookLikeLinksAndOpenTheirDocuments)
{
    SendMessageW(h.window.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h.handle(f.Label4(0))), STN_CLICKED),
                 reinterpret_cast<LPARAM>(h.handle(f.Label4(0))));
    SendMessageW(h.window.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h.handle(f.Label5(0))), STN_CLICKED),
                 reinterpret_cast<LPARAM>(h.handle(f.Label5(0))));
    ASSERT_EQ(h.shell.opened.size(), 2U);
    EXPECT_EQ(h.shell.opened[0], "/opt/sentrybell/doc/user-guide.html");
    EXPECT_EQ(h.shell.opened[1], "/opt/sentrybell/doc/windows-notes.html");
    EXPECT_NE(StyleOf(h.handle(f.Label4(2))) & SS_NOTIFY, 0);

    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(h.window.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(h.handle(f.Label5(0))));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 192)) << "colour value 0x00C00000";
    DeleteDC(dc);
    LOGFONTW link{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h.handle(f.Label4(2)), WM_GETFONT, 0, 0)), sizeof(link), &link);
    EXPECT_EQ(link.lfWeight, FW_BOLD);
    EXPECT_EQ(std::abs(link.lfHeight), 15) << "11.25 points at 96 DPI";

    SendMessageW(h.window.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(h.handle(f.Label4(2))),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(NativeWindow, EveryJapaneseCaptionHasItsGlyphsInTheWindowFont)
{
    const std::wstring family = h.window.fontFamily();
    ASSERT_FALSE(family.empty()) << "a Japanese family is installed";
    std::cout << "window font: " << Narrow(family) << '\n';
    HDC dc = GetDC(h.window.hwnd());
    for (Control* control : f.controls()) {
        HWND native = h.handle(*control);
        if (native == nullptr) {
            continue;
        }
        auto* font = reinterpret_cast<HFONT>(SendMessageW(native, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr) << control->name();
        HGDIOBJ old = SelectObject(dc, font);
        const std::wstring text = WindowText(native);
        std::vector<WORD> glyphs(text.size());
        GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
        for (std::size_t i = 0; i < text.size(); ++i) {
            EXPECT_NE(glyphs[i], 0xFFFF) << control->name() << ": no glyph for U+" << std::hex
                                         << static_cast<unsigned>(text[i]);
        }
        SelectObject(dc, old);
    }
    ReleaseDC(h.window.hwnd(), dc);
}

TEST_F(NativeWindow, EveryCaptionFitsItsControl)
{
    HDC dc = GetDC(h.window.hwnd());
    // A check box or option button draws its mark and a gap before the caption.
    const int markWidth = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    for (Control* control : f.controls()) {
        HWND native = h.handle(*control);
        if (native == nullptr || dynamic_cast<TextBox*>(control) != nullptr) {
            continue;
        }
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(native, WM_GETFONT, 0, 0)));
        const std::wstring text = WindowText(native);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, old);
        const LONG type = buttonType(native);
        const bool marked = ClassOf(native) == "Button" && (type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON);
        EXPECT_LE(extent.cx + (marked ? markWidth : 0), sizeOf(native).cx)
            << control->name() << "(" << control->index() << ") " << Narrow(text);
        EXPECT_LE(extent.cy, sizeOf(native).cy) << control->name();
    }
    ReleaseDC(h.window.hwnd(), dc);
}

TEST_F(NativeWindow, TheMenuHasTheItemsInOrderAndFollowsTheModel)
{
    EXPECT_EQ(MenuItemTexts(h.window.menu().handle()),
              (std::vector<std::string>{"設定画面表示(&O)", "-", "開始(&P)", "停止(&S)", "-", "終了"}));
    const auto state = [this](const MenuItem& item) {
        return GetMenuState(h.window.menu().handle(), h.window.menu().commandOf(item), MF_BYCOMMAND);
    };
    EXPECT_EQ(state(f.Menu_Start) & MF_GRAYED, 0U);
    f.Menu_Start.Enabled = false;
    EXPECT_NE(state(f.Menu_Start) & MF_GRAYED, 0U);
    f.Menu_Start.Enabled = true;
    EXPECT_EQ(state(f.Menu_Start) & MF_GRAYED, 0U);
}

TEST_F(NativeWindow, TheOperatorsMinimiseReachesTheModelSoTheMenuRestoresTheWindow)
{
    h.showAndActivate();
    SendMessageW(h.window.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); // the caption's button
    ASSERT_TRUE(IsIconic(h.window.hwnd()));
    EXPECT_EQ(f.WindowState(), 1);
    Raise(f.Menu_Open.Click);
    EXPECT_FALSE(IsIconic(h.window.hwnd()));
    EXPECT_EQ(f.WindowState(), 0);
}

TEST_F(NativeWindow, AfterAManualCheckTheButtonAndTheMenuShowTheChecksStopped)
{
    f.txtTimer.Text = "30";
    f.Timer1.Enabled = true; // the checks run, as the caption and the menu show
    f.Menu_Start.Enabled = false;
    ASSERT_EQ(TextOf(h.handle(f.Command5)), "タイマー停止");
    SendMessageW(h.handle(f.手動チェック), BM_CLICK, 0, 0);
    EXPECT_EQ(TextOf(h.handle(f.Command5)), "タイマー開始");
    const auto grayed = [this](const MenuItem& item) {
        return (GetMenuState(h.window.menu().handle(), h.window.menu().commandOf(item), MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    EXPECT_FALSE(grayed(f.Menu_Start));
    EXPECT_TRUE(grayed(f.Menu_Stop));
}

TEST_F(NativeWindow, TheDisabledButtonsNameTheFieldAtFaultAndARefusedSaveFocusesIt)
{
    f.Form_Load(); // no settings file: every field empty
    for (const CommandButton* button : {&f.手動チェック, &f.Command5}) {
        HWND native = h.handle(*button);
        EXPECT_FALSE(IsWindowEnabled(native));
        wchar_t text[80] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = h.window.hwnd();
        tool.uId = static_cast<UINT_PTR>(GetDlgCtrlID(native));
        tool.lpszText = text;
        SendMessageW(h.window.toolTips(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(Narrow(text), "ログ が空です") << button->name();
    }
    h.showAndActivate();
    SendMessageW(h.handle(f.Command1), BM_CLICK, 0, 0);
    ASSERT_EQ(h.fakes.messageBox.shown.size(), 1U);
    EXPECT_EQ(GetFocus(), h.handle(f.txtLog));
}

TEST_F(NativeWindow, AnotherStartBringsTheWindowBackRestored)
{
    const UINT request = RegisterWindowMessageW(L"Sentrybell view test: show");
    h.window.acceptShowRequests(request);
    h.showAndActivate();
    SendMessageW(h.window.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(h.window.hwnd()));
    PostMessageW(HWND_BROADCAST, request, 0, 0);
    const auto deadline = GetTickCount64() + 5000;
    while (IsIconic(h.window.hwnd()) && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        h.pump();
    }
    EXPECT_FALSE(IsIconic(h.window.hwnd()));
    EXPECT_TRUE(IsWindowVisible(h.window.hwnd()));
}

TEST_F(NativeWindow, Timer1IsTheSystemsTimerAndNeverRunsWithoutAnInterval)
{
    f.Timer1.Interval = 1000;
    f.Timer1.Enabled = true;
    EXPECT_TRUE(h.window.timerArmed());
    EXPECT_EQ(h.window.timerInterval(), 1000U);
    f.Timer1.Enabled = false;
    EXPECT_FALSE(h.window.timerArmed());
    f.Timer1.Interval = 0;
    f.Timer1.Enabled = true;
    EXPECT_FALSE(h.window.timerArmed()) << "a zero interval would tick without pause";

    // A real tick runs the check cycle, whose first step turns the timer off.
    f.txtTimeout.Text = "5";
    f.txtUrl.Text = "http://127.0.0.1:9/check.htm";
    f.Timer1.Interval = 30;
    ASSERT_TRUE(h.window.timerArmed());
    const auto deadline = GetTickCount64() + 5000;
    while (f.Caption() == "Sentrybell" && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        h.pump();
    }
    EXPECT_NE(f.Caption(), "Sentrybell") << "Timer1_Timer ran and showed its status";
}

} // namespace
