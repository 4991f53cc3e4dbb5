// SPDX-License-Identifier: MIT
// Real WM_CHAR messages, pastes, input methods and focus changes on the native edits reach the boxes'
// slots, and what the slots decide is what the edit shows. The rules of the two seconds fields are the
// core's (tests/core/InputFiltersTest.cpp); here the slots record what reaches them (SlotRecord).
#include "ModalDriver.h"
#include "fakes/SlotRecord.h"
#include "winview/WinViewHarness.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <imm.h>

namespace {

class NumericKeys : public ::testing::Test
{
protected:
    NumericKeys()
    {
        RecordSlots(box, record);
        h.showAndActivate();
    }

    // Types characters into the edit as the keyboard does: WM_CHAR messages through the program's loop.
    void type(const TextBox& target, const std::wstring& characters)
    {
        for (wchar_t c : characters) {
            PostMessageW(h.handle(target), WM_CHAR, c, 1);
        }
        h.pump();
    }

    // A key pressed with Shift held, through the program's own loop.
    void pressWithShift(UINT key)
    {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_SHIFT] = 0x80;
        SetKeyboardState(state);
        PostMessageW(edit(), WM_KEYDOWN, key, 1);
        h.pump();
        state[VK_SHIFT] = 0;
        SetKeyboardState(state);
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

    bool changed(const std::string& change) const
    {
        return std::find(record.changes.begin(), record.changes.end(), change) != record.changes.end();
    }

    HWND edit() { return h.handle(box); }

    SlotRecord record; // before the window, which may raise the slots while it goes
    WinViewHarness h;
    Form1& f = h.form;
    TextBox& box = f.txtTimeout;
};

TEST_F(NumericKeys, TypedCharactersReachTheSlotWithTheirCodesAndADiscardedOneNeverTheEdit)
{
    putOnClipboard(L"7");
    type(box, L"4x5５\x16\b\r");
    EXPECT_EQ(box.Text(), "4") << "x and Ctrl+V discarded, the full-width 5 left out by Change, then Backspace";
    EXPECT_EQ(TextOf(edit()), "4");
    EXPECT_EQ(record.keys, (std::vector<std::int16_t>{'4', 'x', '5', static_cast<std::int16_t>(L'５'), 22, 8, 13}));

    SetFocus(edit());
    PostMessageW(edit(), WM_KEYDOWN, VK_RETURN, 1);
    h.pump();
    EXPECT_TRUE(IsWindow(h.window.hwnd())) << "Enter is no command of the window";
}

TEST_F(NumericKeys, TheSlotSeesTheSelectionTheKeyReplaces)
{
    box.Text = "45";
    SendMessageW(edit(), EM_SETSEL, 0, -1);
    type(box, L"7");
    SendMessageW(edit(), EM_SETSEL, 0, 0);
    type(box, L"1");
    EXPECT_EQ(record.selections, (std::vector<int>{2, 0}));
}

TEST_F(NumericKeys, TabEscapeAndDeleteAreKeysThatNeverReachTheSlot)
{
    box.Text = "45";
    SetFocus(edit());
    SendMessageW(edit(), EM_SETSEL, 0, 0);
    PostMessageW(edit(), WM_KEYDOWN, VK_DELETE, 1);
    h.pump();
    EXPECT_EQ(box.Text(), "5") << "Delete deletes";
    type(box, L"\t\x1b");
    EXPECT_EQ(box.Text(), "5") << "they reach the edit, which makes no text of them";
    EXPECT_TRUE(record.keys.empty());

    SetFocus(h.handle(f.txtUrl));
    h.pump();
    EXPECT_EQ(record.focusLosses, 1) << "leaving the edit raises LostFocus";
}

TEST_F(NumericKeys, PastedAndComposedTextReachesTheChangeSlot)
{
    putOnClipboard(L"a5");
    SetFocus(edit());
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
        SendMessageW(edit(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit()), static_cast<LPARAM>(-1));
    }
    ASSERT_TRUE(opened);
    h.pump();
    EXPECT_EQ(box.Text(), "5");
    EXPECT_EQ(TextOf(edit()), "5");

    box.Text = "";
    pressWithShift(VK_INSERT);
    EXPECT_EQ(box.Text(), "5") << "Shift+Insert";

    putOnClipboard(L"b6");
    SendMessageW(edit(), WM_PASTE, 0, 0);
    EXPECT_EQ(box.Text(), "56");

    // The result string of a composition, as the input method completes it (Wine types it as
    // characters; an edit that inserts it itself replaces the selection with it).
    HIMC context = ImmGetContext(edit());
    ASSERT_NE(context, nullptr);
    std::wstring committed = L"６ａ";
    ImmSetCompositionStringW(context, SCS_SETSTR, committed.data(),
                             static_cast<DWORD>(committed.size() * sizeof(wchar_t)), nullptr, 0);
    ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    ImmReleaseContext(edit(), context);
    h.pump();
    SendMessageW(edit(), EM_SETSEL, 2, 2);
    SendMessageW(edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(committed.c_str()));
    EXPECT_EQ(box.Text(), "56");
    EXPECT_EQ(TextOf(edit()), "56");

    EXPECT_TRUE(changed("|a5"));
    EXPECT_TRUE(changed("5|5b6"));
    EXPECT_TRUE(changed("56|56６ａ"));
    EXPECT_TRUE(std::none_of(record.keys.begin(), record.keys.end(), [](std::int16_t key) {
        return key == 'a' || key == 'b';
    })) << "no paste is a typed key";
}

TEST_F(NumericKeys, AnEditWithoutSlotsTakesEveryCharacter)
{
    type(f.txtSubject, L"a-5０");
    EXPECT_EQ(f.txtSubject.Text(), "a-5０");
    // The same Ctrl+V pastes in an edit whose box has no KeyPress slot.
    putOnClipboard(L"7");
    type(f.txtProxy, L"\x16");
    EXPECT_EQ(f.txtProxy.Text(), "7");
}

} // namespace
