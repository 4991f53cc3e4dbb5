// SPDX-License-Identifier: MIT
// Real key, focus, clipboard, drop and input-method events on the real fields reach the boxes' slots,
// and what the slots decide is what the field shows. The rules of the two seconds fields are the
// core's (tests/core/InputFiltersTest.cpp); here the slots record what reaches them (SlotRecord).
#include "fakes/SlotRecord.h"
#include "qt/ViewHarness.h"

#include <QAction>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class NumericKeys : public ::testing::Test
{
protected:
    NumericKeys() { RecordSlots(box, record); }

    QLineEdit* edit() { return h.widget<QLineEdit>(box); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(edit(), &event);
    }

    SlotRecord record; // before the window, which may raise the slots while it goes
    ViewHarness h;
    TextBox& box = h.form.txtTimeout;
};

TEST_F(NumericKeys, TypedCharactersReachTheSlotWithTheirCodesAndADiscardedOneNeverTheField)
{
    QTest::keyClicks(edit(), "4x5");
    press(Qt::Key_unknown, Qt::NoModifier, QString(QChar(0xFF15))); // a full-width 5 from an input method
    QApplication::clipboard()->setText("7");
    QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit()->text(), "45") << "x and Ctrl+V discarded; the full-width 5 left out by Change";
    EXPECT_EQ(box.Text(), "45");
    QTest::keyClick(edit(), Qt::Key_Backspace);
    EXPECT_EQ(box.Text(), "4");
    EXPECT_EQ(record.keys, (std::vector<std::int16_t>{'4', 'x', '5', static_cast<std::int16_t>(0xFF15), 22, 8}));

    box.KeyPress = [](std::int16_t& keyCode) { keyCode = keyCode == 13 ? 0 : keyCode; };
    bool returnPressed = false;
    QObject::connect(edit(), &QLineEdit::returnPressed, [&returnPressed] { returnPressed = true; });
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_FALSE(returnPressed) << "a discarded Enter never reaches the field";
}

TEST_F(NumericKeys, TheSlotSeesTheSelectionTheKeyReplaces)
{
    box.Text = "45";
    edit()->selectAll();
    QTest::keyClick(edit(), '7');
    edit()->setCursorPosition(0);
    QTest::keyClick(edit(), '1');
    EXPECT_EQ(record.selections, (std::vector<int>{2, 0}));
}

TEST_F(NumericKeys, TabShiftTabAndDeleteAreKeysThatNeverReachTheSlot)
{
    h.window.show();
    QApplication::setActiveWindow(&h.window);
    box.Text = "45";
    edit()->setFocus();
    QTest::keyClick(edit(), Qt::Key_Tab);
    EXPECT_EQ(h.window.focusWidget(), h.window.widgetFor(h.form.txtUrl)) << "Tab moves on";
    EXPECT_EQ(record.focusLosses, 1) << "and leaving the field raises LostFocus";

    h.form.Command5.Enabled = true;
    QLineEdit* interval = h.widget<QLineEdit>(h.form.txtTimer);
    interval->setFocus();
    // As the platform delivers Shift+Tab, with the tab character as its text.
    QKeyEvent shiftTab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier, "\t");
    QApplication::sendEvent(interval, &shiftTab);
    EXPECT_EQ(h.window.focusWidget(), h.window.widgetFor(h.form.Command5)) << "Shift+Tab moves back";

    edit()->setFocus();
    edit()->setCursorPosition(0);
    press(Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
    EXPECT_EQ(box.Text(), "5") << "Delete deletes";
    EXPECT_TRUE(record.keys.empty());
}

TEST_F(NumericKeys, PastedDroppedAndComposedTextReachesTheChangeSlot)
{
    h.window.show();
    QApplication::clipboard()->setText("a5");
    // The context menu's own Paste.
    const std::unique_ptr<QMenu> menu(edit()->createStandardContextMenu());
    QAction* paste = nullptr;
    for (QAction* action : menu->actions()) {
        paste = action->text().startsWith("&Paste") ? action : paste;
    }
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(box.Text(), "5");
    // Shift+Insert.
    edit()->clear();
    QTest::keyClick(edit(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(box.Text(), "5");
    // A drop.
    edit()->clear();
    QMimeData dropped;
    dropped.setText("a7");
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit(), &enter);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit(), &drop);
    EXPECT_EQ(box.Text(), "7");
    // An input method's commit.
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("６ａ"));
    QApplication::sendEvent(edit(), &commit);
    EXPECT_EQ(box.Text(), "7");
    EXPECT_EQ(edit()->text(), "7");

    for (const char* change : {"|a5", "|a7", "7|7６ａ"}) {
        EXPECT_NE(std::find(record.changes.begin(), record.changes.end(), change), record.changes.end()) << change;
    }
    EXPECT_TRUE(record.keys.empty()) << "none of them is a typed key";
}

TEST_F(NumericKeys, AFieldWithoutSlotsTakesEveryCharacter)
{
    QLineEdit* log = h.widget<QLineEdit>(h.form.txtLog);
    QTest::keyClicks(log, "a-5");
    QKeyEvent fullWidthFive(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0xFF15)));
    QApplication::sendEvent(log, &fullWidthFive);
    EXPECT_EQ(h.form.txtLog.Text(), "a-5５");
}

} // namespace
