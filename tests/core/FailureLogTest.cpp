// SPDX-License-Identifier: MIT
#include "monitor/FailureLog.h"

#include "fakes/FormHarness.h"

#include <gtest/gtest.h>

namespace {

class FailureLogTest : public ::testing::Test
{
protected:
    FailureLogTest()
    {
        h.files.addFolder("/var/log/sentrybell");
        f.txtLog.Text = logPath;
        h.clock.setLocal({2026, 3, 4, 5, 6, 7});
    }

    std::string log() const { return h.files.files.count(logPath) ? h.files.files.at(logPath) : "<none>"; }

    const std::string logPath = "/var/log/sentrybell/iiserr.txt";
    FormHarness h;
    Form1& f = h.form;
};

TEST_F(FailureLogTest, EachOutcomeHasItsLogLineAndAlertLine)
{
    struct Case
    {
        int outcome;
        const char* logLine;
        const char* alertLine;
    };
    const Case cases[] = {
        {1, "2026/03/04 05:06:07インターネット接続エラー\r\n",
         "2026/03/04 05:06:07\t1回目　インターネット接続エラー\r\n"},
        {2, "2026/03/04 05:06:07ＵＲＬ指定エラー\r\n", "2026/03/04 05:06:07\t1回目　ＵＲＬ指定エラー\r\n"},
        {3, "2026/03/04 05:06:07受信エラー\r\n", "2026/03/04 05:06:07\t1回目　受信エラー\r\n"},
        {4, "2026/03/04 05:06:07受信エラー\r\n", "2026/03/04 05:06:07\t1回目　受信タイムアウトエラー\r\n"},
    };
    for (const Case& c : cases) {
        h.files.files.erase(logPath);
        f.errReport.clear();
        AppendFailureLog(f, c.outcome, 1);
        EXPECT_EQ(log(), c.logLine) << c.outcome;
        EXPECT_EQ(f.errReport, c.alertLine) << c.outcome;
    }
}

TEST_F(FailureLogTest, LinesUseTabAndCrLfBytesAndTheIdeographicSpace)
{
    AppendFailureLog(f, 2, 2);
    AppendRecoveryLog(f);
    const std::string date = "2026/03/04 05:06:07";
    // The failure line has no separator; the alert and recovery lines put one TAB after the time.
    EXPECT_EQ(log(), date +
                         "\xEF\xBC\xB5\xEF\xBC\xB2\xEF\xBC\xAC\xE6\x8C\x87\xE5\xAE\x9A\xE3\x82\xA8\xE3\x83\xA9\xE3\x83"
                         "\xBC\x0D\x0A" +
                         date +
                         "\x09\xE8\x87\xAA\xE5\x8B\x95\x20\x43\x6F\x73\x74\x6F\x6D\x3A\x30\x09"
                         "IIS\xE5\x86\x8D\xE8\xB5\xB7\xE5\x8B\x95\xEF\xBC\x81\xEF\xBC\x81\x0D\x0A");
    EXPECT_EQ(f.errReport, date + "\x09" +
                               "2\xE5\x9B\x9E\xE7\x9B\xAE\xE3\x80\x80"
                               "\xEF\xBC\xB5\xEF\xBC\xB2\xEF\xBC\xAC\xE6\x8C\x87\xE5\xAE\x9A\xE3\x82\xA8"
                               "\xE3\x83\xA9\xE3\x83\xBC\x0D\x0A");
}

TEST_F(FailureLogTest, LogIsCreatedOnFirstUseAndThenAppendedTo)
{
    ASSERT_EQ(h.files.files.count(logPath), 0U);
    AppendFailureLog(f, 3, 1);
    EXPECT_EQ(log(), "2026/03/04 05:06:07受信エラー\r\n");

    h.clock.setLocal({2026, 3, 4, 5, 6, 37});
    AppendFailureLog(f, 4, 2);
    AppendRecoveryLog(f);
    AppendFailureLog(f, 1, 1);
    EXPECT_EQ(log(), "2026/03/04 05:06:07受信エラー\r\n"
                     "2026/03/04 05:06:37受信エラー\r\n"
                     "2026/03/04 05:06:37\t自動 Costom:0\tIIS再起動！！\r\n"
                     "2026/03/04 05:06:37インターネット接続エラー\r\n");
    EXPECT_EQ(f.errReport, "2026/03/04 05:06:07\t1回目　受信エラー\r\n"
                           "2026/03/04 05:06:37\t2回目　受信タイムアウトエラー\r\n"
                           "2026/03/04 05:06:37\t1回目　インターネット接続エラー\r\n");
}

TEST_F(FailureLogTest, UnwritableLogNeverStopsTheAlertLine)
{
    for (const char* path : {"", "/var/log/missing/iiserr.txt", "/var/log/sentrybell"}) {
        f.txtLog.Text = path;
        AppendFailureLog(f, 2, 1);
        AppendRecoveryLog(f);
    }
    h.files.failWrites = true;
    f.txtLog.Text = logPath;
    AppendFailureLog(f, 2, 2);
    AppendRecoveryLog(f);

    EXPECT_TRUE(h.files.files.empty());
    EXPECT_EQ(f.errReport, "2026/03/04 05:06:07\t1回目　ＵＲＬ指定エラー\r\n"
                           "2026/03/04 05:06:07\t1回目　ＵＲＬ指定エラー\r\n"
                           "2026/03/04 05:06:07\t1回目　ＵＲＬ指定エラー\r\n"
                           "2026/03/04 05:06:07\t2回目　ＵＲＬ指定エラー\r\n");
}

TEST_F(FailureLogTest, OutcomeOutsideOneToFourWritesNothing)
{
    AppendFailureLog(f, 0, 1);
    AppendFailureLog(f, 5, 1);
    EXPECT_EQ(log(), "<none>");
    EXPECT_TRUE(f.errReport.empty());
}

} // namespace
