// SPDX-License-Identifier: MIT
#include "fakes/RunningWatchdog.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class ManualCheck : public ::testing::Test, protected RunningWatchdog<>
{
protected:
    std::vector<std::string> boxes() const
    {
        std::vector<std::string> texts;
        for (const auto& shown : messageBox.shown) {
            EXPECT_EQ(shown.style, 48);
            EXPECT_EQ(shown.title, "Sentrybell");
            texts.push_back(shown.text);
        }
        return texts;
    }
};

TEST_F(ManualCheck, ReachablePageIsReportedInABoxAndLeavesTheTimerOff)
{
    form.errCount = 1;
    form.txtTimer.Text = "45";
    form.手動チェック_Click();
    EXPECT_EQ(form.Caption(), "2026/12/07 09:05:03\u3000正常読み込み済み");
    EXPECT_EQ(boxes(), Lines({"ページ読み込みOK！！"}));
    EXPECT_EQ(form.errCount, 0);
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_EQ(form.Timer1.Interval(), 45000);
    EXPECT_EQ(tray.tip, form.Caption());
}

TEST_F(ManualCheck, FirstFailureIsLoggedWithoutABox)
{
    setServerDown(true);
    form.手動チェック_Click();
    EXPECT_EQ(form.Caption(), "受信エラー発生！！");
    EXPECT_EQ(lines(log()), Lines({"2026/12/07 09:05:03ＵＲＬ指定エラー"}));
    EXPECT_EQ(lines(form.errReport), Lines({"2026/12/07 09:05:03\t1回目　ＵＲＬ指定エラー"}));
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(form.errCount, 1);
    EXPECT_FALSE(form.Timer1.Enabled());
}

TEST_F(ManualCheck, SecondFailureEscalatesWithoutRecoveryOrMail)
{
    setServerDown(true);
    form.手動チェック_Click();
    form.手動チェック_Click();
    EXPECT_EQ(boxes(), Lines({"IISエラー"}));
    EXPECT_EQ(lines(form.errReport).size(), 2U);
    EXPECT_NE(lines(form.errReport)[1].find("\t2回目"), std::string::npos);
    EXPECT_EQ(form.errCount, 0);
    EXPECT_FALSE(tray.iconShown);
    EXPECT_FALSE(tray.subclassed);
    EXPECT_TRUE(launcher.starts.empty());
    EXPECT_TRUE(mail.calls.empty());
    EXPECT_EQ(lines(log()).size(), 2U) << "no recovery line";
    EXPECT_EQ(form.Caption(), "受信エラー発生！！");
    EXPECT_EQ(std::count(captions.begin(), captions.end(), "メール送信中！！"), 0);
    EXPECT_EQ(lifetime.endings + lifetime.unloads, 0);
}

TEST_F(ManualCheck, SharesTheFailureCountWithTheTimedChecks)
{
    setServerDown(true);
    ASSERT_TRUE(tick());
    form.手動チェック_Click();
    EXPECT_EQ(boxes(), Lines({"IISエラー"})) << "a failed timed check, then a failed manual one";
    EXPECT_TRUE(launcher.starts.empty());

    RunningWatchdog<> other;
    other.setServerDown(true);
    other.form.手動チェック_Click();
    other.form.Timer1.Enabled = true;
    ASSERT_TRUE(other.tick());
    EXPECT_EQ(other.launcher.starts.size(), 1U) << "a failed manual check, then a failed timed one";
    EXPECT_EQ(other.mail.calls.size(), 1U);
}

TEST_F(ManualCheck, StopsARunningTimerAndShowsItStoppedAsAStopDoes)
{
    for (const bool pageUp : {true, false}) {
        RunningWatchdog<> h;
        h.setServerDown(!pageUp);
        h.form.手動チェック_Click();
        EXPECT_FALSE(h.form.Timer1.Enabled());
        EXPECT_EQ(h.form.Command5.Caption(), "タイマー開始");
        EXPECT_TRUE(h.form.Menu_Start.Enabled());
        EXPECT_FALSE(h.form.Menu_Stop.Enabled());
        h.form.Command5_Click();
        EXPECT_TRUE(h.form.Timer1.Enabled()) << "one click starts the checks again";
        EXPECT_EQ(h.form.Command5.Caption(), "タイマー停止");
    }
}

TEST_F(ManualCheck, AnInvalidIntervalIsRefusedBeforeAnythingChanges)
{
    for (const char* text : {"", "abc", "0", "-1", "2147484"}) {
        RunningWatchdog<> fresh;
        fresh.form.errCount = 1;
        fresh.form.txtTimer.Text = text;
        fresh.form.手動チェック_Click();
        ASSERT_EQ(fresh.messageBox.shown.size(), 1U) << text;
        EXPECT_EQ(fresh.messageBox.shown[0].text, "繰返し受信間隔が正しくありません。");
        EXPECT_EQ(fresh.messageBox.shown[0].style, 48);
        EXPECT_EQ(fresh.form.errCount, 1) << text;
        EXPECT_TRUE(fresh.form.Timer1.Enabled()) << text;
        EXPECT_EQ(fresh.form.Caption(), "Sentrybell") << text;
        EXPECT_TRUE(fresh.internet.events.empty()) << "nothing was fetched: " << text;
    }
}

TEST_F(ManualCheck, AFailedFetchStillKeepsThePageCopy)
{
    files.files[copyPath()] = "earlier copy";
    setServerDown(true);
    form.手動チェック_Click();
    EXPECT_EQ(files.files[copyPath()], "earlier copy");
    setServerDown(false);
    form.手動チェック_Click();
    EXPECT_EQ(files.files[copyPath()], "<html>ok</html>");
}

} // namespace
