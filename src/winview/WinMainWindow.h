// SPDX-License-Identifier: MIT
#pragma once

#include "shell/Form1.h"
#include "winview/JapaneseFont.h"
#include "winview/NativeControls.h"
#include "winview/WinMenu.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

class WinTray;

// The window of Form1 from native controls: one control per model control, built from the model's
// layout at the monitor's DPI. It shows every model change at once, copies every edit into the model
// at once, and raises the controls' event slots for clicks (BN_CLICKED, STN_CLICKED), edits
// (EN_CHANGE), typed characters (WM_CHAR), focus loss (EN_KILLFOCUS), timer ticks (WM_TIMER), the
// close request (WM_CLOSE) and another start's request. The operator's minimise and restore (WM_SIZE)
// go into WindowState. It makes no decision of its own and knows no handler.
class WinMainWindow
{
public:
    struct Icons
    {
        HICON large = nullptr; // 32 x 32, the window's
        HICON small = nullptr; // 16 x 16, the caption's and the tray's
    };

    // Creates the window hidden; showAsModelSays() shows it once start-up has run.
    WinMainWindow(Form1& form, WinTray& tray, HINSTANCE instance, Icons icons);
    ~WinMainWindow();
    WinMainWindow(const WinMainWindow&) = delete;
    WinMainWindow& operator=(const WinMainWindow&) = delete;

    // Shows the window as the model's Visible and WindowState say: normal, minimised, or not at all.
    void showAsModelSays();
    // Another start of the program posts `message` (a registered message) to ask for the window: the
    // model shows it, and the window comes to the front.
    void acceptShowRequests(UINT message);

    HWND hwnd() const { return m_hwnd; }
    // The native control of a model control; null for the menu, its items and the timer.
    HWND handleFor(const Control& control) const;
    WinMenu& menu() { return *m_menu; }
    unsigned dpi() const { return m_dpi; }
    // The buttons' tooltips: one tool per button, whose id is the button's control id.
    HWND toolTips() const { return m_toolTips; }
    const std::wstring& fontFamily() const { return m_fontFamily; }
    // Timer1 as the system runs it: armed, and with which interval.
    bool timerArmed() const { return m_timerArmed; }
    UINT timerInterval() const { return m_timerInterval; }

    static constexpr UINT_PTR Timer1Id = 1;

private:
    struct Native
    {
        const ControlPlace* place = nullptr;
        HWND hwnd = nullptr;
        CommandHandler onCommand;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls(HINSTANCE instance);
    void addToolTip(const Native& native);
    void placeToolTips();
    void bind(Native& native);
    void buildMenu();
    void bindWindow();
    void bindTimer();
    void applyTimer();
    void applyWindowState();
    void layout();
    void restoreFocus(bool firstTime);
    const Native* nativeOf(HWND control) const;
    // A label whose clicks do something: the hand pointer and SS_NOTIFY.
    static bool clickable(const ControlPlace& place);

    Form1& m_form;
    WinTray& m_tray;
    Icons m_icons;
    HWND m_hwnd = nullptr;
    unsigned m_dpi = 96;
    std::wstring m_fontFamily;
    UniqueFont m_font;
    UniqueFont m_linkFont;
    std::vector<Native> m_natives;
    std::map<const Control*, std::size_t> m_indexOf;
    std::unique_ptr<WinMenu> m_menu;
    HWND m_lastFocus = nullptr;
    bool m_shown = false;
    bool m_copyingPlatformState = false;
    HWND m_toolTips = nullptr;
    UINT m_showRequest = 0;
    bool m_timerArmed = false;
    UINT m_timerInterval = 0;
};
