// SPDX-License-Identifier: MIT
#include "fakes/MonitoredForm.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class ManualCheck : public ::testing::Test, protected MonitoredForm
{
protected:
    std::vector<std::string> boxes() const
    {
        std::vector<std::string> texts;
        for (const auto& shown : h.messageBox.shown) {
            EXPECT_EQ(shown.style, 48);
            EXPECT_EQ(shown.title, "Sentrybell");
            texts.push_back(shown.text);
        }
        return texts;
    }
};

TEST_F(ManualCheck, ReachablePageIsReportedInABoxAndLeavesTheTimerOff)
{
    f.errCount = 1;
    f.txtTimer.Text = "45";
    f.手動チェック_Click();
    EXPECT_EQ(f.Caption(), "2026/12/07 09:05:03\u3000正常読み込み済み");
    EXPECT_EQ(boxes(), Lines({"ページ読み込みOK！！"}));
    EXPECT_EQ(f.errCount, 0);
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 45000);
    EXPECT_EQ(h.tray.tip, f.Caption());
}

TEST_F(ManualCheck, FirstFailureIsLoggedWithoutABox)
{
    setServerDown(true);
    f.手動チェック_Click();
    EXPECT_EQ(f.Caption(), "受信エラー発生！！");
    EXPECT_EQ(lines(log()), Lines({"2026/12/07 09:05:03ＵＲＬ指定エラー"}));
    EXPECT_EQ(lines(f.errReport), Lines({"2026/12/07 09:05:03\t1回目　ＵＲＬ指定エラー"}));
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(f.errCount, 1);
    EXPECT_FALSE(f.Timer1.Enabled());
}

TEST_F(ManualCheck, SecondFailureEscalatesWithoutRecoveryOrMail)
{
    setServerDown(true);
    f.手動チェック_Click();
    f.手動チェック_Click();
    EXPECT_EQ(boxes(), Lines({"IISエラー"}));
    EXPECT_EQ(lines(f.errReport).size(), 2U);
    EXPECT_NE(lines(f.errReport)[1].find("\t2回目"), std::string::npos);
    EXPECT_EQ(f.errCount, 0);
    EXPECT_FALSE(h.tray.iconShown);
    EXPECT_FALSE(h.tray.subclassed);
    EXPECT_TRUE(h.launcher.starts.empty());
    EXPECT_TRUE(h.mail.calls.empty());
    EXPECT_EQ(lines(log()).size(), 2U) << "no recovery line";
    EXPECT_EQ(f.Caption(), "受信エラー発生！！");
    EXPECT_EQ(std::count(captions.begin(), captions.end(), "メール送信中！！"), 0);
    EXPECT_EQ(h.lifetime.endings + h.lifetime.unloads, 0);
}

TEST_F(ManualCheck, SharesTheFailureCountWithTheTimedChecks)
{
    setServerDown(true);
    ASSERT_TRUE(h.timer.fireNext());
    f.手動チェック_Click();
    EXPECT_EQ(boxes(), Lines({"IISエラー"})) << "a failed timed check, then a failed manual one";
    EXPECT_TRUE(h.launcher.starts.empty());

    MonitoredForm other;
    other.setServerDown(true);
    other.f.手動チェック_Click();
    other.f.Timer1.Enabled = true;
    ASSERT_TRUE(other.h.timer.fireNext());
    EXPECT_EQ(other.h.launcher.starts.size(), 1U) << "a failed manual check, then a failed timed one";
    EXPECT_EQ(other.h.mail.calls.size(), 3U);
}

TEST_F(ManualCheck, StopsARunningTimerButLeavesTheToggleCaption)
{
    f.手動チェック_Click();
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_EQ(f.Command5.Caption(), "タイマー停止");
    f.Command5_Click();
    EXPECT_TRUE(f.Timer1.Enabled()) << "one click starts the checks again";
}

TEST_F(ManualCheck, AnInvalidIntervalIsRefusedBeforeAnythingChanges)
{
    for (const char* text : {"", "abc", "0", "-1", "2147484"}) {
        MonitoredForm fresh;
        fresh.f.errCount = 1;
        fresh.f.txtTimer.Text = text;
        fresh.f.手動チェック_Click();
        ASSERT_EQ(fresh.h.messageBox.shown.size(), 1U) << text;
        EXPECT_EQ(fresh.h.messageBox.shown[0].text, "繰返し受信間隔が正しくありません。");
        EXPECT_EQ(fresh.h.messageBox.shown[0].style, 48);
        EXPECT_EQ(fresh.f.errCount, 1) << text;
        EXPECT_TRUE(fresh.f.Timer1.Enabled()) << text;
        EXPECT_EQ(fresh.f.Caption(), "Sentrybell") << text;
        EXPECT_TRUE(fresh.h.internet.events.empty()) << "nothing was fetched: " << text;
    }
}

TEST_F(ManualCheck, AFailedFetchStillKeepsThePageCopy)
{
    h.files.files["/srv/watch/check.htm"] = "earlier copy";
    setServerDown(true);
    f.手動チェック_Click();
    EXPECT_EQ(h.files.files["/srv/watch/check.htm"], "earlier copy");
    setServerDown(false);
    f.手動チェック_Click();
    EXPECT_EQ(h.files.files["/srv/watch/check.htm"], "<html>ok</html>");
}

} // namespace
