// SPDX-License-Identifier: MIT
#include "shell/InputFilters.h"

#include "fakes/FormHarness.h"

#include <gtest/gtest.h>

namespace {

// Types keys into a field as a text box would, through the field's KeyPress slot: a key it lets
// through is inserted at the caret (or replaces the selection). The views only raise these slots.
class NumericField : public ::testing::Test
{
protected:
    FormHarness h;
    Form1& f = h.form;

    void type(TextBox& box, const std::string& keys, std::size_t caret = std::string::npos)
    {
        for (char key : keys) {
            const std::int16_t code = box.typed(static_cast<std::int16_t>(key));
            if (code == 0) {
                continue;
            }
            std::string text = box.SelLength() > 0 ? std::string() : box.Text();
            box.SelLength = 0;
            if (code == 8) {
                if (!text.empty()) {
                    text.pop_back();
                }
            } else {
                const std::size_t at = caret == std::string::npos ? text.size() : caret++;
                text.insert(at, 1, static_cast<char>(code));
            }
            box.Text = text;
        }
    }
    std::int16_t press(TextBox& box, std::int16_t code) { return box.typed(code); }
};

TEST_F(NumericField, ValuesTypedLeftToRightStayWithinSixty)
{
    const std::pair<const char*, const char*> cases[] = {
        {"451", "45"}, {"65", "6"}, {"60", "60"}, {"70", "7"}, {"0", ""}, {"05", "5"}, {"19", "19"}, {"123", "12"},
    };
    for (auto [keys, expected] : cases) {
        for (TextBox* box : {&f.txtTimeout, &f.txtTimer}) {
            box->Text = "";
            type(*box, keys);
            EXPECT_EQ(box->Text(), expected) << box->name() << " keys " << keys;
        }
    }
}

TEST_F(NumericField, AFullSelectionIsReplacedButNeverByAZero)
{
    f.txtTimeout.Text = "45";
    f.txtTimeout.SelLength = 2;
    EXPECT_EQ(press(f.txtTimeout, '0'), 0);
    EXPECT_EQ(press(f.txtTimeout, '5'), '5') << "the limits do not apply to a replacement";
    f.txtTimeout.Text = "7";
    f.txtTimeout.SelLength = 1;
    EXPECT_EQ(press(f.txtTimeout, '9'), '9');
}

TEST_F(NumericField, RulesJudgeTheTextBeforeTheKey)
{
    f.txtTimer.Text = "5";
    type(f.txtTimer, "9", 0); // the caret in front of the 5
    EXPECT_EQ(f.txtTimer.Text(), "95");
    type(f.txtTimer, "1");
    EXPECT_EQ(f.txtTimer.Text(), "95") << "a value over 6 takes no further digit";
}

TEST_F(NumericField, OnlyAsciiDigitsAndBackspacePass)
{
    f.txtTimeout.Text = "4";
    const std::uint16_t refused[] = {'a', '-', '+', '.', ' ', 22 /* Ctrl+V */, 0xFF15 /* full-width 5 */,
                                     13 /* Enter */};
    for (std::uint16_t key : refused) {
        const auto code = static_cast<std::int16_t>(key);
        EXPECT_EQ(press(f.txtTimeout, code), 0) << key;
    }
    EXPECT_EQ(press(f.txtTimeout, 8), 8);
    f.txtTimeout.Text = "60";
    EXPECT_EQ(press(f.txtTimeout, 8), 8) << "Backspace works whatever the value";
    f.txtTimeout.Text = "";
    EXPECT_EQ(press(f.txtTimeout, 13), 0) << "Enter never reaches the box";
}

TEST_F(NumericField, TimeoutIsClampedToOneToSixtyOnFocusLoss)
{
    const std::pair<const char*, const char*> cases[] = {
        {"95", "60"}, {"61", "60"},   {"60", "60"},
        {"1", "1"},   {"0", "1"},     {"-5", "1"},
        {"", ""},     {"abc", "abc"}, {"99999999999999999999999", "60"},
    };
    for (auto [before, after] : cases) {
        f.txtTimeout.Text = before;
        Raise(f.txtTimeout.LostFocus);
        EXPECT_EQ(f.txtTimeout.Text(), after) << '"' << before << '"';
    }
}

TEST_F(NumericField, IntervalFieldHasNoClamp)
{
    f.txtTimer.Text = "95";
    f.txtTimeout.Text = "30";
    Raise(f.txtTimeout.LostFocus);
    EXPECT_EQ(f.txtTimer.Text(), "95");
    EXPECT_FALSE(f.txtTimer.LostFocus);
}

TEST_F(NumericField, OnlyTheSecondsFieldsFilterWhatIsTypedOrPasted)
{
    for (TextBox* box : f.textBoxes()) {
        const bool seconds = box == &f.txtTimeout || box == &f.txtTimer;
        box->Text = "4";
        EXPECT_EQ(box->keptOf("4a5").text, seconds ? "45" : "4a5") << box->name();
        EXPECT_EQ(box->typed('a'), seconds ? 0 : 'a') << box->name();
    }
}

TEST(SecondsFieldEdit, InsertedTextIsTakenAsIfTypedWhereItWent)
{
    struct Row
    {
        const char* before;
        const char* after; // the field as the edit left it
        const char* kept;  // what the field may hold
        std::size_t caret;
    };
    const Row rows[] = {
        {"", "a5", "5", 1},         // a paste of "a5"
        {"", "６０ａ", "", 0},      // an input method's commit of full-width characters
        {"5", "5６０ａ", "5", 1},   // ... after a digit: nothing changes
        {"4", "4a5", "45", 2},      // judged by the value before each character
        {"", "075", "7", 1},        // no leading zero, nothing after a 7
        {"", "61", "6", 1},         // nothing but 0 after a 6
        {"45", "30", "30", 2},      // the whole text selected and replaced
        {"45", "4x", "45", 1},      // a selection replaced by nothing typable stays
        {"5", "95", "95", 1},       // in front: judged by the value behind
        {"12", "12\t5\n", "12", 2}, // control characters are never inserted
        {"45", "5", "5", 0},        // a deletion passes
        {"7", "", "", 0},           // ... the whole text too
        {"",
         "\xff"
         "5",
         "5", 1}, // a byte that is no character is dropped
    };
    for (const Row& row : rows) {
        const TextEdit edit = FilterSecondsFieldEdit(row.before, row.after);
        EXPECT_EQ(edit.text, row.kept) << '"' << row.before << "\" -> \"" << row.after << '"';
        EXPECT_EQ(edit.caret, row.caret) << '"' << row.before << "\" -> \"" << row.after << '"';
    }
}

TEST(SecondsFieldEdit, TabEscapeAndDeleteAreKeysNotCharacters)
{
    for (std::uint32_t key : {9U, 27U, 127U}) {
        EXPECT_FALSE(IsKeyFilterCharacter(key)) << key;
    }
    for (std::uint32_t key : {8U, 13U, 22U, 53U, 97U, 0xFF15U}) { // Backspace, Enter, Ctrl+V, 5, a, full-width 5
        EXPECT_TRUE(IsKeyFilterCharacter(key)) << key;
    }
}

TEST(FilterKeyTest, PassesOnlyListedCharacters)
{
    EXPECT_EQ(FilterKey('7', "0123456789"), '7');
    EXPECT_EQ(FilterKey('x', "0123456789"), 0);
    EXPECT_EQ(FilterKey('A', "abc"), 0) << "the comparison is case-sensitive";
    EXPECT_EQ(FilterKey(static_cast<std::int16_t>(0x3042), "あい"), static_cast<std::int16_t>(0x3042));
}

TEST(LeadingNumberTest, ReadsLeadingDigitsOnly)
{
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber("45x"), 45);
    EXPECT_GT(LeadingNumber("999999999999999999999999999"), 60) << "saturates instead of wrapping";
}

} // namespace
