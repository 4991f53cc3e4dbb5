// SPDX-License-Identifier: MIT
// The key filters of the two numeric fields on real WM_CHAR messages, pastes and input methods, and
// the clamp when the timeout field loses the focus.
#include "ModalDriver.h"
#include "winview/WinViewHarness.h"

#include <cstring>
#include <gtest/gtest.h>
#include <imm.h>

namespace {

class NumericKeys : public ::testing::Test
{
protected:
    NumericKeys() { h.showAndActivate(); }

    // Types characters into the edit as the keyboard does: WM_CHAR messages through the program's loop.
    void type(const TextBox& box, const std::wstring& characters)
    {
        for (wchar_t c : characters) {
            PostMessageW(h.handle(box), WM_CHAR, c, 1);
        }
        h.pump();
    }

    void select(const TextBox& box, int start, int end)
    {
        SendMessageW(h.handle(box), EM_SETSEL, static_cast<WPARAM>(start), end);
    }

    // A key pressed with Shift held, through the program's own loop.
    void pressWithShift(const TextBox& box, UINT key)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(h.handle(box), WM_KEYDOWN, key, 1);
        h.pump();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }

    void putOnClipboard(const std::wstring& text)
    {
        ASSERT_TRUE(OpenClipboard(h.window.hwnd()));
        EmptyClipboard();
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }

    WinViewHarness h;
    Form1& f = h.form;
};

TEST_F(NumericKeys, TypedValuesStayWithin1To60)
{
    type(f.txtTimeout, L"451");
    EXPECT_EQ(f.txtTimeout.Text(), "45");
    EXPECT_EQ(TextOf(h.handle(f.txtTimeout)), "45");

    f.txtTimer.Text = "";
    type(f.txtTimer, L"65");
    EXPECT_EQ(f.txtTimer.Text(), "6");
    type(f.txtTimer, L"0");
    EXPECT_EQ(f.txtTimer.Text(), "60");

    f.txtTimer.Text = "";
    type(f.txtTimer, L"70");
    EXPECT_EQ(f.txtTimer.Text(), "7");
}

TEST_F(NumericKeys, ZeroNeverStartsAValueAndADigitOverTheWholeTextReplacesIt)
{
    type(f.txtTimeout, L"0");
    EXPECT_EQ(f.txtTimeout.Text(), "");
    type(f.txtTimeout, L"45");
    select(f.txtTimeout, 0, -1);
    type(f.txtTimeout, L"0");
    EXPECT_EQ(f.txtTimeout.Text(), "45");
    select(f.txtTimeout, 0, -1);
    type(f.txtTimeout, L"5");
    EXPECT_EQ(f.txtTimeout.Text(), "5");
}

TEST_F(NumericKeys, EverythingButDigitsAndBackspaceIsDropped)
{
    putOnClipboard(L"7");
    type(f.txtTimeout, L"4");
    type(f.txtTimeout, L"a-.+ ５\x16\x18\x01");
    EXPECT_EQ(f.txtTimeout.Text(), "4") << "letters, signs, full-width digits, Ctrl+V, Ctrl+X, Ctrl+A";
    type(f.txtTimeout, L"\b");
    EXPECT_EQ(f.txtTimeout.Text(), "");

    // The same Ctrl+V pastes in a field without a filter.
    type(f.txtProxy, L"\x16");
    EXPECT_EQ(f.txtProxy.Text(), "7");
}

TEST_F(NumericKeys, EnterNeverReachesTheBox)
{
    type(f.txtTimer, L"5\r");
    EXPECT_EQ(f.txtTimer.Text(), "5");
    SetFocus(h.handle(f.txtTimer));
    PostMessageW(h.handle(f.txtTimer), WM_KEYDOWN, VK_RETURN, 1);
    h.pump();
    EXPECT_EQ(f.txtTimer.Text(), "5");
    EXPECT_TRUE(IsWindow(h.window.hwnd())) << "Enter is no command of the window";
}

TEST_F(NumericKeys, ADigitInFrontIsJudgedByTheValueBehindIt)
{
    type(f.txtTimer, L"5");
    select(f.txtTimer, 0, 0);
    type(f.txtTimer, L"9");
    EXPECT_EQ(f.txtTimer.Text(), "95");
    type(f.txtTimer, L"1");
    EXPECT_EQ(f.txtTimer.Text(), "95");
}

TEST_F(NumericKeys, LeavingTheTimeoutFieldClampsItAndTheIntervalFieldNot)
{
    SetFocus(h.handle(f.txtTimeout));
    type(f.txtTimeout, L"5");
    select(f.txtTimeout, 0, 0);
    type(f.txtTimeout, L"9");
    ASSERT_EQ(f.txtTimeout.Text(), "95");
    SetFocus(h.handle(f.txtUrl));
    h.pump();
    EXPECT_EQ(f.txtTimeout.Text(), "60");
    EXPECT_EQ(TextOf(h.handle(f.txtTimeout)), "60");

    f.txtTimeout.Text = "0";
    SetFocus(h.handle(f.txtTimeout));
    SetFocus(h.handle(f.txtUrl));
    h.pump();
    EXPECT_EQ(f.txtTimeout.Text(), "1");

    f.txtTimer.Text = "95";
    SetFocus(h.handle(f.txtTimer));
    SetFocus(h.handle(f.txtUrl));
    h.pump();
    EXPECT_EQ(f.txtTimer.Text(), "95");
}

TEST_F(NumericKeys, DeleteDeletesAndTabAndEscapeAreNoCharactersForTheFilter)
{
    type(f.txtTimer, L"45");
    SetFocus(h.handle(f.txtTimer));
    select(f.txtTimer, 0, 0);
    PostMessageW(h.handle(f.txtTimer), WM_KEYDOWN, VK_DELETE, 1);
    h.pump();
    EXPECT_EQ(f.txtTimer.Text(), "5");
    type(f.txtTimer, L"\t\x1b");
    EXPECT_EQ(f.txtTimer.Text(), "5") << "they reach the edit, which makes no text of them";
}

TEST_F(NumericKeys, APasteIsTakenCharacterByCharacterAsIfTyped)
{
    putOnClipboard(L"a5");
    const HWND edit = h.handle(f.txtTimeout);
    SetFocus(edit);
    // The edit's own context menu, its Paste chosen by its mnemonic.
    bool opened = false;
    {
        ModalDriver driver([&opened] {
            HWND menu = FindThreadWindow(L"#32768");
            if (menu == nullptr) {
                return false;
            }
            opened = true;
            PostMessageW(menu, WM_CHAR, L'p', 0);
            return true;
        });
        SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), static_cast<LPARAM>(-1));
    }
    ASSERT_TRUE(opened);
    h.pump();
    EXPECT_EQ(f.txtTimeout.Text(), "5");
    EXPECT_EQ(TextOf(edit), "5");

    f.txtTimeout.Text = "";
    pressWithShift(f.txtTimeout, VK_INSERT);
    EXPECT_EQ(f.txtTimeout.Text(), "5") << "Shift+Insert";

    // After a 4 the 5 is taken and nothing more; a paste of nothing typable changes nothing.
    f.txtTimer.Text = "4";
    select(f.txtTimer, 1, 1);
    putOnClipboard(L"a55");
    SendMessageW(h.handle(f.txtTimer), WM_PASTE, 0, 0);
    EXPECT_EQ(f.txtTimer.Text(), "45");
    putOnClipboard(L"abc");
    SendMessageW(h.handle(f.txtTimer), WM_PASTE, 0, 0);
    EXPECT_EQ(f.txtTimer.Text(), "45");
}

TEST_F(NumericKeys, AnInputMethodsCommitOfOtherCharactersChangesNothing)
{
    type(f.txtTimer, L"5");
    const HWND edit = h.handle(f.txtTimer);
    SetFocus(edit);
    for (wchar_t c : std::wstring(L"６０ａ")) {
        PostMessageW(edit, WM_IME_CHAR, c, 1);
    }
    h.pump();
    EXPECT_EQ(f.txtTimer.Text(), "5");

    // The result string of a composition, as the input method completes it (Wine types it as
    // characters; an edit that inserts it itself replaces the selection with it).
    HIMC context = ImmGetContext(edit);
    ASSERT_NE(context, nullptr);
    std::wstring committed = L"６０ａ";
    ImmSetCompositionStringW(context, SCS_SETSTR, committed.data(),
                             static_cast<DWORD>(committed.size() * sizeof(wchar_t)), nullptr, 0);
    ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    ImmReleaseContext(edit, context);
    h.pump();
    EXPECT_EQ(f.txtTimer.Text(), "5");
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(committed.c_str()));
    EXPECT_EQ(f.txtTimer.Text(), "5");
    EXPECT_EQ(TextOf(edit), "5");
}

TEST_F(NumericKeys, OtherFieldsTakeEveryCharacter)
{
    type(f.txtSubject, L"a-5０");
    EXPECT_EQ(f.txtSubject.Text(), "a-5０");
}

} // namespace
