// SPDX-License-Identifier: MIT
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

// Real key events on the real fields: what reaches the text is what the operator sees.
class NumericKeys : public ::testing::Test
{
protected:
    QLineEdit* timeout() { return h.widget<QLineEdit>(h.form.txtTimeout); }
    QLineEdit* interval() { return h.widget<QLineEdit>(h.form.txtTimer); }
    QString typed(QLineEdit* edit, const QString& keys)
    {
        edit->clear();
        QTest::keyClicks(edit, keys);
        return edit->text();
    }
    ViewHarness h;
};

TEST_F(NumericKeys, TypedValuesStayWithinSixty)
{
    for (QLineEdit* edit : {timeout(), interval()}) {
        EXPECT_EQ(typed(edit, "451"), "45");
        EXPECT_EQ(typed(edit, "65"), "6");
        EXPECT_EQ(typed(edit, "60"), "60");
        EXPECT_EQ(typed(edit, "70"), "7");
        EXPECT_EQ(typed(edit, "0"), "");
    }
    EXPECT_EQ(h.form.txtTimer.Text(), "") << "the model follows the field";
}

TEST_F(NumericKeys, ASelectedValueIsReplacedButNotByZero)
{
    QLineEdit* edit = timeout();
    typed(edit, "45");
    edit->selectAll();
    QTest::keyClick(edit, '0');
    EXPECT_EQ(edit->text(), "45");
    edit->selectAll();
    QTest::keyClick(edit, '5');
    EXPECT_EQ(edit->text(), "5");
    EXPECT_EQ(h.form.txtTimeout.Text(), "5");
}

TEST_F(NumericKeys, ADigitTypedInFrontIsJudgedByTheOldValue)
{
    QLineEdit* edit = interval();
    typed(edit, "5");
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, '9');
    EXPECT_EQ(edit->text(), "95");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, '1');
    EXPECT_EQ(edit->text(), "95");
}

TEST_F(NumericKeys, EverythingButDigitsIsDropped)
{
    QLineEdit* edit = timeout();
    typed(edit, "4");
    QTest::keyClicks(edit, "a-.+ ");
    QKeyEvent fullWidthFive(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0xFF15)));
    QApplication::sendEvent(edit, &fullWidthFive);
    EXPECT_EQ(edit->text(), "4");
    QApplication::sendEvent(h.widget<QLineEdit>(h.form.txtLog), &fullWidthFive);
    EXPECT_EQ(h.form.txtLog.Text(), "５") << "the same key reaches an unfiltered field";

    QApplication::clipboard()->setText("55");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "4") << "Ctrl+V is a control character to the filter";

    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "");
    typed(edit, "3");
    bool returnPressed = false;
    QObject::connect(edit, &QLineEdit::returnPressed, [&returnPressed] { returnPressed = true; });
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(returnPressed) << "Enter never reaches the box";
}

TEST_F(NumericKeys, TabShiftTabAndDeleteKeepTheirMeaning)
{
    h.window.show();
    QApplication::setActiveWindow(&h.window);
    h.form.txtTimeout.Text = "95";
    timeout()->setFocus();
    QTest::keyClick(timeout(), Qt::Key_Tab);
    EXPECT_EQ(h.window.focusWidget(), h.window.widgetFor(h.form.txtUrl)) << "Tab moves on";
    EXPECT_EQ(h.form.txtTimeout.Text(), "60") << "and the clamp runs on the way out";

    h.form.Command5.Enabled = true;
    interval()->setFocus();
    // As the platform delivers Shift+Tab, with the tab character as its text.
    QKeyEvent shiftTab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier, "\t");
    QApplication::sendEvent(interval(), &shiftTab);
    EXPECT_EQ(h.window.focusWidget(), h.window.widgetFor(h.form.Command5)) << "Shift+Tab moves back";

    interval()->setText("45");
    interval()->setFocus();
    QTest::keyClick(interval(), Qt::Key_Home);
    QTest::keyClick(interval(), Qt::Key_Delete);
    EXPECT_EQ(h.form.txtTimer.Text(), "5") << "Delete deletes";
}

TEST_F(NumericKeys, PastedOrDroppedTextIsTakenAsIfTyped)
{
    h.window.show();
    QLineEdit* edit = timeout();
    QApplication::clipboard()->setText("a5");
    // The context menu's own Paste.
    const std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    QAction* paste = nullptr;
    for (QAction* action : menu->actions()) {
        paste = action->text().startsWith("&Paste") ? action : paste;
    }
    ASSERT_NE(paste, nullptr);
    edit->clear();
    paste->trigger();
    EXPECT_EQ(h.form.txtTimeout.Text(), "5");
    // Shift+Insert.
    edit->clear();
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(h.form.txtTimeout.Text(), "5");
    // A drop of the same text.
    edit->clear();
    QMimeData dropped;
    dropped.setText("a5");
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &drop);
    EXPECT_EQ(h.form.txtTimeout.Text(), "5");
}

TEST_F(NumericKeys, AnInputMethodsCommitOfOtherCharactersChangesNothing)
{
    typed(interval(), "5");
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("６０ａ"));
    QApplication::sendEvent(interval(), &commit);
    EXPECT_EQ(interval()->text(), "5");
    EXPECT_EQ(h.form.txtTimer.Text(), "5");
    QInputMethodEvent digit;
    digit.setCommitString("0");
    QApplication::sendEvent(interval(), &digit);
    EXPECT_EQ(h.form.txtTimer.Text(), "50") << "a digit the filter takes is committed";
}

TEST_F(NumericKeys, TimeoutIsClampedWhenItLosesTheFocus)
{
    QLineEdit* edit = timeout();
    for (auto [before, after] : {std::pair{"95", "60"}, std::pair{"0", "1"}, std::pair{"", ""}}) {
        h.form.txtTimeout.Text = before;
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &focusOut);
        EXPECT_EQ(edit->text(), after) << before;
    }
    h.form.txtTimer.Text = "95";
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(interval(), &focusOut);
    EXPECT_EQ(interval()->text(), "95") << "the interval has no clamp";
}

} // namespace
