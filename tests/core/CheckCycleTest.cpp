// SPDX-License-Identifier: MIT
#include "fakes/RunningWatchdog.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;
using Lines = std::vector<std::string>;

constexpr const char* Stamp = "2026/12/07 09:05:03";

class CheckCycle : public ::testing::Test, protected RunningWatchdog<>
{
protected:
    CheckCycle() { form.txtCC.Text = "cc1@example.test;cc2@example.test"; }
};

TEST_F(CheckCycle, FirstFailureIsLoggedOnly)
{
    setServerDown(true);
    tick();
    EXPECT_EQ(lines(log()), Lines({std::string(Stamp) + "ＵＲＬ指定エラー"}));
    EXPECT_EQ(lines(form.errReport), Lines({std::string(Stamp) + "\t1回目　ＵＲＬ指定エラー"}));
    EXPECT_EQ(form.errCount, 1);
    EXPECT_TRUE(mail.calls.empty());
    EXPECT_TRUE(launcher.starts.empty());
    EXPECT_EQ(captions, Lines({"チェックファイル受信中", "受信エラー発生！！"}));
    EXPECT_EQ(tray.tip, "受信エラー発生！！");
    EXPECT_TRUE(form.Timer1.Enabled());
    EXPECT_EQ(form.Timer1.Interval(), 30000);
}

TEST_F(CheckCycle, EveryCaptionReachesTheTrayTip)
{
    setServerDown(true);
    tick();
    tick();
    EXPECT_EQ(tray.calls, Lines({"subclass", "add:Sentrybell", "modify:チェックファイル受信中",
                                 "modify:受信エラー発生！！", "modify:チェックファイル受信中",
                                 "modify:受信エラー発生！！", "modify:メール送信中！！", "delete", "restore"}));
}

TEST_F(CheckCycle, SecondFailureRestartsLogsThenMailsEveryRecipient)
{
    setServerDown(true);
    tick();
    mail.onSend = [this](const FakeMailLibrary::Call&) {
        if (mail.calls.size() == 1) {
            // By the first message the restart has been started and the recovery logged.
            ASSERT_EQ(launcher.starts.size(), 1U);
            EXPECT_EQ(launcher.starts[0].program, "/opt/sentrybell/iisreset");
            EXPECT_EQ(launcher.starts[0].arguments, Lines({"/RESTART"}));
            EXPECT_EQ(lines(log()).back(), std::string(Stamp) + "\t自動 Costom:0\tIIS再起動！！");
            EXPECT_EQ(form.Caption(), "メール送信中！！");
            EXPECT_TRUE(tray.iconShown) << "the tray goes after the mail";
        }
    };
    tick();
    ASSERT_EQ(mail.calls.size(), 3U);
    EXPECT_EQ(mail.calls[0].recipient, "ops@example.test");
    EXPECT_EQ(mail.calls[1].recipient, "cc1@example.test");
    EXPECT_EQ(mail.calls[2].recipient, "cc2@example.test");
    for (const auto& call : mail.calls) {
        EXPECT_EQ(call.body, form.errReport);
        EXPECT_EQ(call.subject, "web server down");
    }
    EXPECT_EQ(lines(form.errReport).size(), 2U);
    EXPECT_EQ(lines(log()).size(), 3U);
    EXPECT_EQ(form.errCount, 0);
    EXPECT_FALSE(tray.iconShown);
    EXPECT_FALSE(tray.subclassed);
    EXPECT_TRUE(form.Timer1.Enabled());
    EXPECT_EQ(form.Timer1.Interval(), 40000);
    EXPECT_EQ(timer.dueAt(), clock.steadyNow() + milliseconds(40000));
    EXPECT_EQ(lifetime.endings, 0);
}

TEST_F(CheckCycle, ThirdFailureInARowCountsAsTheFirst)
{
    setServerDown(true);
    tick();
    tick();
    tick();
    EXPECT_EQ(form.errCount, 1);
    EXPECT_EQ(mail.calls.size(), 3U) << "only the second failure alerted";
    EXPECT_EQ(launcher.starts.size(), 1U);
    const Lines failures = lines(form.errReport);
    ASSERT_EQ(failures.size(), 3U);
    EXPECT_NE(failures[0].find("\t1回目"), std::string::npos);
    EXPECT_NE(failures[1].find("\t2回目"), std::string::npos);
    EXPECT_NE(failures[2].find("\t1回目"), std::string::npos);
}

TEST_F(CheckCycle, FailureSuccessFailureNeverAlerts)
{
    setServerDown(true);
    tick();
    setServerDown(false);
    tick();
    setServerDown(true);
    tick();
    EXPECT_EQ(form.errCount, 1);
    EXPECT_TRUE(mail.calls.empty());
    EXPECT_TRUE(launcher.starts.empty());
    EXPECT_EQ(lines(log()).size(), 2U);
}

TEST_F(CheckCycle, SystemRestartMailsThenRebootsAndEndsAtOnce)
{
    form.OptBoot(1).Value = true;
    setServerDown(true);
    tick();
    mail.onSend = [this](const FakeMailLibrary::Call&) {
        EXPECT_TRUE(launcher.starts.empty()) << "the mail goes out before the reboot";
    };
    tick();
    EXPECT_EQ(mail.calls.size(), 3U);
    ASSERT_EQ(launcher.starts.size(), 1U);
    EXPECT_EQ(launcher.starts[0].arguments, Lines({"/REBOOT"}));
    EXPECT_EQ(lines(log()).back(), std::string(Stamp) + "\t自動 Costom:0\tIIS再起動！！")
        << "the recovery line names the restart whatever the option";
    EXPECT_EQ(lifetime.endings, 1);
    EXPECT_EQ(lifetime.unloads, 0) << "no unload handling";
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_EQ(form.Timer1.Interval(), 30000) << "no restart interval without a restart";
    EXPECT_FALSE(tray.iconShown);
}

// What a fleet reads: one event per step in the machine's log, and after each check the metrics file.
TEST_F(CheckCycle, TheMachinesLogAndTheMetricsFileFollowARestart)
{
    form.metrics.file = "/srv/watch/sentrybell.prom";
    tick();
    const std::string healthy = files.files[form.metrics.file];
    EXPECT_NE(healthy.find("\nsentrybell_last_check_healthy 1\n"), std::string::npos) << healthy;
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(clock.systemNow().time_since_epoch());
    EXPECT_NE(healthy.find("\nsentrybell_last_check_timestamp_seconds " + std::to_string(now.count()) + ".000000\n"),
              std::string::npos)
        << "the wall-clock time of the check's start, by the clock the check uses";
    EXPECT_EQ(files.lastAccess, NewFileAccess::Public);

    setServerDown(true);
    mail.reply = "550 no such \"user\"";
    tick();
    tick();
    EXPECT_EQ(report.events,
              Lines({"event=check_failed outcome=url_not_opened count=1",
                     "event=check_failed outcome=url_not_opened count=2", "event=recovery_started action=restart",
                     "event=mail_failed recipient=ops@example.test reason=\"550 no such \\\"user\\\"\"",
                     "event=mail_failed recipient=cc1@example.test reason=\"550 no such \\\"user\\\"\"",
                     "event=mail_failed recipient=cc2@example.test reason=\"550 no such \\\"user\\\"\""}));
    const std::string after = files.files[form.metrics.file];
    for (const char* sample :
         {"sentrybell_consecutive_failures 0", "sentrybell_last_check_healthy 0",
          "sentrybell_last_check_outcome{outcome=\"url_not_opened\"} 1",
          "sentrybell_checks_total{outcome=\"healthy\"} 1", "sentrybell_checks_total{outcome=\"url_not_opened\"} 2",
          "sentrybell_recoveries_started_total{action=\"restart\"} 1",
          "sentrybell_alert_mails_total{result=\"failed\"} 3", "sentrybell_timer_running 1"}) {
        EXPECT_NE(after.find(std::string("\n") + sample + "\n"), std::string::npos) << sample << "\n" << after;
    }

    // A file that cannot be written is told once, and the checks go on.
    files.failWrites = true;
    tick();
    tick();
    EXPECT_EQ(std::count(report.kinds.begin(), report.kinds.end(), ReportKind::MetricsNotWritten), 1);
    EXPECT_TRUE(form.Timer1.Enabled());
}

TEST_F(CheckCycle, EachAlertCarriesEveryFailureSinceStartUp)
{
    setServerDown(true);
    for (int i = 0; i < 4; ++i) {
        tick();
    }
    ASSERT_EQ(mail.calls.size(), 6U);
    EXPECT_EQ(lines(mail.calls[0].body).size(), 2U);
    const Lines second = lines(mail.calls[3].body);
    ASSERT_EQ(second.size(), 4U);
    const char* counts[] = {"\t1回目", "\t2回目", "\t1回目", "\t2回目"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE(second[i].find(counts[i]), std::string::npos) << second[i];
    }
}

TEST_F(CheckCycle, SuccessShowsTheTimeAndRestoresTheNormalInterval)
{
    setServerDown(true);
    tick();
    tick(); // restart: 40 s
    setServerDown(false);
    form.txtTimer.Text = "10"; // an unsaved edit counts at the next check
    clock.setLocal({2026, 12, 8, 3, 4, 5});
    tick();
    EXPECT_EQ(form.Caption(), "2026/12/08 03:04:05\u3000正常読み込み済み");
    EXPECT_EQ(tray.tip, "メール送信中！！") << "the tray was torn down at the alert, with its last tip";
    EXPECT_EQ(form.errCount, 0);
    EXPECT_EQ(form.Timer1.Interval(), 10000);
    EXPECT_EQ(timer.dueAt(), clock.steadyNow() + milliseconds(10000));
}

TEST_F(CheckCycle, ThePauseCountsFromTheEndOfALongCheck)
{
    setServerDown(true);
    tick();
    mail.onSend = [this](const FakeMailLibrary::Call&) { clock.advance(milliseconds(7000)); };
    tick();
    const auto checkEnded = clock.steadyNow();
    EXPECT_EQ(timer.dueAt(), checkEnded + milliseconds(40000));
}

TEST_F(CheckCycle, AnInvalidIntervalKeepsTheTimersIntervalButNotTheCount)
{
    for (const char* text : {"", "abc", "0", "-1", "2147484"}) {
        form.errCount = 1;
        form.txtTimer.Text = text;
        internet.events.clear();
        tick();
        EXPECT_FALSE(internet.eventsStarting("open").empty()) << "the page is still fetched: " << text;
        EXPECT_EQ(form.errCount, 0) << text;
        EXPECT_TRUE(form.Timer1.Enabled()) << text;
        EXPECT_EQ(form.Timer1.Interval(), 30000) << text;
    }
}

TEST_F(CheckCycle, ATickWithoutAUsableTimeoutOrUrlChecksNothingAndTheTimerRunsOn)
{
    setServerDown(true);
    tick();
    ASSERT_EQ(form.errCount, 1);
    const std::string logBefore = log();
    const struct
    {
        TextBox& field;
        const char* text;
        const char* said;
    } rows[] = {
        {form.txtTimeout, "", "no check while txtTimeout is not a whole number of seconds"},
        {form.txtUrl, "", "no check while txtUrl is empty"},
    };
    for (const auto& row : rows) {
        const std::string kept = row.field.Text();
        row.field.Text = row.text;
        internet.events.clear();
        report.reports.clear();
        tickAndExpectNextAfter(milliseconds(IntervalMs));
        tickAndExpectNextAfter(milliseconds(IntervalMs));
        SCOPED_TRACE(row.field.name() + "=" + row.text);
        EXPECT_TRUE(internet.events.empty()) << "no request";
        EXPECT_EQ(form.errCount, 1) << "no count";
        EXPECT_EQ(log(), logBefore) << "no log line";
        EXPECT_TRUE(launcher.starts.empty());
        EXPECT_TRUE(mail.calls.empty());
        ASSERT_EQ(report.reports.size(), 1U) << "said once for the stretch";
        EXPECT_NE(report.reports[0].find(row.said), std::string::npos) << report.reports[0];
        row.field.Text = kept;
    }
    // Usable again: the next tick checks, and its failure is the second in a row.
    tick();
    EXPECT_FALSE(internet.eventsStarting("open").empty());
    EXPECT_EQ(launcher.starts.size(), 1U);
}

TEST_F(CheckCycle, ATickThatFallsWhileABoxIsOpenRunsOnceAfterTheHandlerAndTheTrayMenuStaysShut)
{
    std::vector<bool> menuWhileOpen;
    std::size_t requestsWhileOpen = 0;
    messageBox.whileOpen = [&] {
        timer.fireNext();
        timer.fireNext();
        requestsWhileOpen = internet.eventsStarting("open").size();
        menuWhileOpen.push_back(form.Menu_File.Enabled());
    };
    Raise(form.Command1.Click); // refused: the watchdog has no auto-logon password
    ASSERT_EQ(messageBox.shown.size(), 1U);
    EXPECT_EQ(requestsWhileOpen, 0U) << "no check ran inside the box";
    EXPECT_EQ(menuWhileOpen, std::vector<bool>{false});
    EXPECT_TRUE(form.Menu_File.Enabled());
    EXPECT_EQ(internet.eventsStarting("open").size(), 1U) << "the tick ran once, after the handler";
    EXPECT_TRUE(form.Timer1.Enabled());
}

TEST_F(CheckCycle, NoTickStartsWhileOneRuns)
{
    mail.onSend = [this](const FakeMailLibrary::Call&) { EXPECT_FALSE(form.Timer1.Enabled()); };
    bool sawDisabled = false;
    internet.body = "x";
    form.Timer1.addObserver([&](Control&, Prop prop) {
        if (prop == Prop::Enabled && !form.Timer1.Enabled()) {
            sawDisabled = internet.events.empty();
        }
    });
    tick();
    EXPECT_TRUE(sawDisabled) << "the timer is off before the fetch begins";
}

} // namespace
