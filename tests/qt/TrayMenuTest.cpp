// SPDX-License-Identifier: MIT
#include "qt/ViewHarness.h"
#include "shell/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Clicks on the tray icon as the notification area reports them. While a popup is open, `whileOpen`
// runs from the event loop with the menu, and must close it (or choose an item).
class TrayMenu : public ::testing::Test
{
protected:
    TrayMenu() { f.Form_Load(); }

    QMenu* click(QSystemTrayIcon::ActivationReason reason, std::function<void(QMenu*)> whileOpen = {})
    {
        QMenu* seen = nullptr;
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (seen != nullptr) {
                if (whileOpen) {
                    whileOpen(seen);
                } else {
                    seen->close();
                }
            }
        });
        emit h.tray.icon().activated(reason);
        QApplication::processEvents();
        return seen;
    }

    ViewHarness h;
    Form1& f = h.form;
};

TEST_F(TrayMenu, RightClickPopsTheMenuWithItsItemsAndSeparators)
{
    QStringList items;
    QMenu* menu = click(QSystemTrayIcon::Context, [&items](QMenu* open) {
        for (QAction* action : open->actions()) {
            items << (action->isSeparator() ? QString("-") : action->text());
        }
        open->close();
    });
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(items, QStringList({"設定画面表示(&O)", "-", "開始(&P)", "停止(&S)", "-", "終了"}));
}

TEST_F(TrayMenu, WhileABoxIsOpenARightClickOpensNothing)
{
    QMenu* whileBox = nullptr;
    bool boxOpened = false;
    h.messageBox.whileOpen = [&] {
        boxOpened = true;
        whileBox = click(QSystemTrayIcon::Context);
    };
    QTest::mouseClick(h.window.widgetFor(f.Command1), Qt::LeftButton); // refused: a box
    ASSERT_TRUE(boxOpened);
    EXPECT_EQ(whileBox, nullptr);
    EXPECT_NE(click(QSystemTrayIcon::Context), nullptr) << "the menu opens again once the box is closed";
}

TEST_F(TrayMenu, LeftAndDoubleClicksOpenNothing)
{
    EXPECT_EQ(click(QSystemTrayIcon::Trigger), nullptr);
    EXPECT_EQ(click(QSystemTrayIcon::DoubleClick), nullptr);
    EXPECT_EQ(click(QSystemTrayIcon::MiddleClick), nullptr);
}

TEST_F(TrayMenu, TheChosenItemHasRunWhenThePopupReturns)
{
    f.Timer1.Enabled = true;
    click(QSystemTrayIcon::Context, [this](QMenu* open) {
        h.window.actionFor(f.Menu_Stop)->trigger();
        open->close();
    });
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_EQ(f.Command5.Caption(), "タイマー開始");
    EXPECT_FALSE(h.window.actionFor(f.Menu_Stop)->isEnabled());
    EXPECT_TRUE(h.window.actionFor(f.Menu_Start)->isEnabled());
}

TEST_F(TrayMenu, AfterTeardownTheIconIsGoneAndRightClicksOpenNothing)
{
    TearDownTray(f);
    EXPECT_FALSE(h.tray.isShown());
    EXPECT_FALSE(h.tray.icon().isVisible());
    EXPECT_EQ(click(QSystemTrayIcon::Context), nullptr);
    ShowStatus(f, "受信エラー発生！！");
    EXPECT_FALSE(h.tray.isShown());
    EXPECT_EQ(h.tray.tip(), "Sentrybell") << "a tip update finds no icon to change";
    TearDownTray(f); // a second teardown does nothing
    EXPECT_FALSE(h.tray.isShown());
}

} // namespace
