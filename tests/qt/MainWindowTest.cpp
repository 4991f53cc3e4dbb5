// SPDX-License-Identifier: MIT
#include "qt/ShowRequests.h"
#include "qt/ViewHarness.h"
#include "shell/TrayIcon.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MainWindowView : public ::testing::Test
{
protected:
    ViewHarness h;
    Form1& f = h.form;
};

QString shownCaption(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        return frame->title();
    }
    return {};
}

TEST_F(MainWindowView, EveryControlHasAWidgetShowingItsDesignTimeState)
{
    int checked = 0;
    for (Control* control : f.controls()) {
        if (dynamic_cast<MenuItem*>(control) || dynamic_cast<Menu*>(control) || dynamic_cast<Timer*>(control)) {
            continue;
        }
        QWidget* widget = h.window.widgetFor(*control);
        ASSERT_NE(widget, nullptr) << control->name() << "(" << control->index() << ")";
        if (auto* box = dynamic_cast<TextBox*>(control)) {
            EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->text().toStdString(), box->Text()) << box->name();
        } else if (auto* button = dynamic_cast<CommandButton*>(control)) {
            EXPECT_EQ(shownCaption(widget).toStdString(), button->Caption()) << button->name();
        } else if (auto* label = dynamic_cast<Label*>(control)) {
            EXPECT_EQ(shownCaption(widget).toStdString(), label->Caption()) << label->name();
        } else if (auto* frame = dynamic_cast<Frame*>(control)) {
            EXPECT_EQ(shownCaption(widget).toStdString(), frame->Caption()) << frame->name();
        } else if (auto* check = dynamic_cast<CheckBox*>(control)) {
            EXPECT_EQ(shownCaption(widget).toStdString(), check->Caption());
            EXPECT_FALSE(qobject_cast<QCheckBox*>(widget)->isChecked());
        } else if (auto* option = dynamic_cast<OptionButton*>(control)) {
            EXPECT_EQ(shownCaption(widget).toStdString(), option->Caption());
            EXPECT_FALSE(qobject_cast<QRadioButton*>(widget)->isChecked());
        }
        ++checked;
    }
    EXPECT_EQ(checked, 55) << "every control but the menu and the timer";
    EXPECT_EQ(h.window.windowTitle(), "Sentrybell");
    EXPECT_EQ(h.window.size(), QSize(672, 328));
}

TEST_F(MainWindowView, EveryCaptionFitsItsControl)
{
    for (Control* control : f.controls()) {
        QWidget* widget = h.window.widgetFor(*control);
        if (widget == nullptr || qobject_cast<QLineEdit*>(widget) != nullptr) {
            continue;
        }
        const QStyle& style = *widget->style();
        const QString caption = shownCaption(widget);
        int needed = widget->fontMetrics().horizontalAdvance(caption);
        // A button's margins, or the mark of a check box or option button and the gap after it.
        if (qobject_cast<QPushButton*>(widget) != nullptr) {
            needed += 2 * style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
        } else if (qobject_cast<QRadioButton*>(widget) != nullptr) {
            needed += style.pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, widget) +
                      style.pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, widget);
        } else if (qobject_cast<QCheckBox*>(widget) != nullptr) {
            needed += style.pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) +
                      style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
        }
        EXPECT_LE(needed, widget->width())
            << control->name() << "(" << control->index() << ") " << caption.toStdString();
        EXPECT_LE(widget->fontMetrics().height(), widget->height()) << control->name();
    }
}

TEST_F(MainWindowView, ModelChangesShowAtOnceAndEditsReachTheModel)
{
    f.txtUrl.Text = "http://127.0.0.1/check.htm";
    EXPECT_EQ(h.widget<QLineEdit>(f.txtUrl)->text(), "http://127.0.0.1/check.htm");
    f.Command5.Caption = "タイマー開始";
    EXPECT_EQ(h.widget<QPushButton>(f.Command5)->text(), "タイマー開始");
    f.手動チェック.Enabled = false;
    EXPECT_FALSE(h.widget<QPushButton>(f.手動チェック)->isEnabled());

    auto* log = h.widget<QLineEdit>(f.txtLog);
    QTest::keyClicks(log, "/var/log/iiserr.txt");
    EXPECT_EQ(f.txtLog.Text(), "/var/log/iiserr.txt");
    h.widget<QCheckBox>(f.chkKidou)->click();
    EXPECT_EQ(f.chkKidou.Value(), 1);
    h.widget<QRadioButton>(f.OptBoot(1))->click();
    h.widget<QRadioButton>(f.OptBoot(0))->click();
    EXPECT_TRUE(f.OptBoot(0).Value());
    EXPECT_FALSE(f.OptBoot(1).Value());
    EXPECT_FALSE(h.widget<QRadioButton>(f.OptBoot(1))->isChecked());
    h.widget<QRadioButton>(f.OptBoot(0))->click();
    EXPECT_TRUE(h.widget<QRadioButton>(f.OptBoot(0))->isChecked()) << "a second click keeps the choice";
}

TEST_F(MainWindowView, CaptionReachesTitleAndTrayTipAtOnce)
{
    f.Form_Load();
    ShowStatus(f, "チェックファイル受信中");
    EXPECT_EQ(h.window.windowTitle(), "チェックファイル受信中");
    EXPECT_EQ(h.tray.tip(), "チェックファイル受信中");

    ShowStatus(f, std::string(70, 'c'));
    EXPECT_EQ(h.window.windowTitle().size(), 70);
    EXPECT_EQ(h.tray.tip().toUtf8().size(), 63);
}

TEST_F(MainWindowView, PasswordFieldsShowAStarPerCharacter)
{
    for (TextBox* box : {&f.txtUserPass, &f.txtPass}) {
        auto* edit = h.widget<QLineEdit>(*box);
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        EXPECT_EQ(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit), '*');
    }
    EXPECT_EQ(h.widget<QLineEdit>(f.txtUser)->echoMode(), QLineEdit::Normal);
}

TEST_F(MainWindowView, TimerFollowsTheModel)
{
    f.Timer1.Interval = 1000;
    f.Timer1.Enabled = true;
    EXPECT_TRUE(h.window.timer().isActive());
    EXPECT_EQ(h.window.timer().interval(), 1000);
    f.Timer1.Enabled = false;
    EXPECT_FALSE(h.window.timer().isActive());
    f.Timer1.Interval = 0;
    f.Timer1.Enabled = true;
    EXPECT_FALSE(h.window.timer().isActive()) << "a zero interval would fire without pause";
}

TEST_F(MainWindowView, TabOrderFollowsTheWindowsList)
{
    // The widget the Tab key moves to: the next one in the chain that takes the focus by Tab.
    auto nextTabStop = [](QWidget* from) {
        QWidget* next = from->nextInFocusChain();
        while ((next->focusPolicy() & Qt::TabFocus) == 0) {
            next = next->nextInFocusChain();
        }
        return next;
    };
    const auto order = f.tabOrder();
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        EXPECT_EQ(nextTabStop(h.window.widgetFor(*order[i])), h.window.widgetFor(*order[i + 1]))
            << "after " << order[i]->name();
    }
}

TEST_F(MainWindowView, FirstEnabledControlOfTheTabOrderHasTheFocusAtFirstShow)
{
    f.手動チェック.Enabled = false;
    f.IIS(0).Enabled = false;
    h.window.show();
    QApplication::setActiveWindow(&h.window);
    EXPECT_EQ(h.window.focusWidget(), h.window.widgetFor(f.IIS(1)));
}

TEST_F(MainWindowView, TheOperatorsMinimiseReachesTheModelSoTheMenuRestoresTheWindow)
{
    h.window.showAsModelSays();
    h.window.showMinimized(); // the title bar's button, through the platform
    EXPECT_EQ(f.WindowState(), 1);
    Raise(f.Menu_Open.Click);
    EXPECT_FALSE(h.window.isMinimized());
    EXPECT_EQ(f.WindowState(), 0);
}

TEST_F(MainWindowView, NothingAppearsBeforeStartUpHasDecided)
{
    int shows = 0;
    struct ShowCounter : QObject
    {
        int& count;
        explicit ShowCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::Show ? 1 : 0;
            return false;
        }
    } counter(shows);
    h.window.installEventFilter(&counter);
    f.WindowState = 1; // a start into the tray, as Form_Load goes
    f.Visible = false;
    h.window.showAsModelSays();
    EXPECT_EQ(shows, 0);
    EXPECT_FALSE(h.window.isVisible());
}

TEST_F(MainWindowView, AfterAManualCheckTheButtonAndTheMenuShowTheChecksStopped)
{
    f.txtTimer.Text = "30";
    f.Command5.Caption = "タイマー停止";
    f.Menu_Start.Enabled = false;
    f.Timer1.Enabled = true;
    QTest::mouseClick(h.window.widgetFor(f.手動チェック), Qt::LeftButton);
    EXPECT_EQ(h.widget<QPushButton>(f.Command5)->text(), "タイマー開始");
    EXPECT_TRUE(h.window.actionFor(f.Menu_Start)->isEnabled());
    EXPECT_FALSE(h.window.actionFor(f.Menu_Stop)->isEnabled());
}

TEST_F(MainWindowView, TheDisabledButtonsNameTheFieldAtFaultAndARefusedSaveFocusesIt)
{
    f.Form_Load(); // no settings file: every field empty
    EXPECT_FALSE(h.widget<QPushButton>(f.Command5)->isEnabled());
    EXPECT_EQ(h.widget<QPushButton>(f.Command5)->toolTip(), "ログ が空です");
    EXPECT_EQ(h.widget<QPushButton>(f.手動チェック)->toolTip(), "ログ が空です");
    h.window.show();
    QApplication::setActiveWindow(&h.window);
    QTest::mouseClick(h.window.widgetFor(f.Command1), Qt::LeftButton);
    ASSERT_EQ(h.messageBox.shown.size(), 1U);
    EXPECT_EQ(QApplication::focusWidget(), h.window.widgetFor(f.txtLog));
}

TEST_F(MainWindowView, AnotherStartBringsTheWindowBackRestored)
{
    const QTemporaryDir installFolder;
    const QString path = ShowRequestPath(installFolder.path());
    const ShowRequests requests(path, [this] { h.window.showForAnotherStart(); });
    ASSERT_TRUE(requests.listening()) << requests.problem().toStdString();
    h.window.showAsModelSays();
    f.comEnd_Click(); // no tray here: minimised
    ASSERT_TRUE(h.window.isMinimized());
    ASSERT_TRUE(AskRunningProgramToShow(path));
    QElapsedTimer waited;
    waited.start();
    while (h.window.isMinimized() && waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_FALSE(h.window.isMinimized());
    EXPECT_TRUE(h.window.isVisible());
}

TEST_F(MainWindowView, WithoutATrayHostHidingMinimisesInstead)
{
    ASSERT_FALSE(QtTray::hostAvailable()) << "the offscreen platform has no notification area";
    h.window.show();
    f.comEnd_Click();
    EXPECT_TRUE(h.window.isVisible());
    EXPECT_TRUE(h.window.isMinimized());
    f.Menu_Open_Click();
    EXPECT_TRUE(h.window.isVisible());
    EXPECT_FALSE(h.window.isMinimized());
}

TEST_F(MainWindowView, ContactLabelsOpenTheirDocuments)
{
    QTest::mouseClick(h.window.widgetFor(f.Label4(0)), Qt::RightButton);
    QTest::mouseClick(h.window.widgetFor(f.Label5(0)), Qt::MiddleButton);
    EXPECT_TRUE(h.shell.opened.empty()) << "a notice opens on the left button only";
    QTest::mouseClick(h.window.widgetFor(f.Label4(0)), Qt::LeftButton);
    QTest::mouseClick(h.window.widgetFor(f.Label5(0)), Qt::LeftButton);
    ASSERT_EQ(h.shell.opened.size(), 2U);
    const QFont link = h.window.widgetFor(f.Label4(2))->font();
    EXPECT_TRUE(link.bold());
    EXPECT_EQ(link.pointSizeF(), 11.25);
    EXPECT_EQ(h.shell.opened[0], "/opt/sentrybell/doc/user-guide.html");
    EXPECT_EQ(h.shell.opened[1], "/opt/sentrybell/doc/platform-notes.html");
    EXPECT_EQ(h.window.widgetFor(f.Label4(2))->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(MainWindowView, CloseBoxAndEndRemoveTheTrayIcon)
{
    f.Form_Load();
    h.window.show();
    ASSERT_TRUE(h.tray.isShown());
    f.Menu_End_Click();
    EXPECT_FALSE(h.window.isVisible());
    EXPECT_FALSE(h.tray.isShown());

    ViewHarness other;
    other.form.Form_Load();
    other.window.show();
    other.window.close();
    EXPECT_FALSE(other.tray.isShown());
}

} // namespace
