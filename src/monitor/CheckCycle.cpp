// SPDX-License-Identifier: MIT
#include "common/Clock.h"
#include "common/OperatorReport.h"
#include "config/FieldRules.h"
#include "monitor/AlertMail.h"
#include "monitor/CheckMetrics.h"
#include "monitor/FailureLog.h"
#include "monitor/FetchCheckPage.h"
#include "monitor/RecoveryActions.h"
#include "monitor/StatusTexts.h"
#include "shell/Form1.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

#include <cstdint>
#include <string>
#include <utility>

namespace {

// What keeps a tick from checking with the fields as they are now, or nothing. The operator may be
// editing them while the checks run: a fetch with no usable receive timeout or no URL fails before
// any request, and two such failures would restart a healthy web server and mail an alert.
std::string checkHeldBy(Form1& f)
{
    if (!TimeoutMilliseconds(f.txtTimeout.Text())) {
        return std::string("txtTimeout is not ") + SecondsRuleText;
    }
    if (f.txtUrl.Text().empty()) {
        return "txtUrl is empty";
    }
    return {};
}

} // namespace

// One check. The timer is off while it runs and is enabled again only as the last step, so the
// pause between two checks counts from the end of one to the start of the next. A tick whose fields
// cannot make a check makes none and leaves the timer running, so the checks go on as soon as the
// field is usable again; the operator hears of it once for each such stretch.
void Form1::Timer1_Timer()
{
    if (std::string heldBy = checkHeldBy(*this); !heldBy.empty()) {
        if (heldBy != m_checksHeldBy) {
            services().report.report(ReportKind::ChecksHeld, "no check while " + heldBy + "; the timer runs on");
        }
        m_checksHeldBy = std::move(heldBy);
        return;
    }
    m_checksHeldBy.clear();

    Timer1.Enabled = false;
    ShowStatus(*this, ReceivingCaption);

    const auto began = services().clock.steadyNow();
    const int outcome = FetchCheckPage(*this);
    if (outcome == 0) {
        errCount = 0;
        // An interval the rule refuses leaves the timer with the interval it had: never zero.
        if (const auto interval = TimerMilliseconds(txtTimer.Text())) {
            Timer1.Interval = *interval;
        }
        ShowStatus(*this, DateTimeText(services().clock.localNow()) + ReadNormallySuffix);
        RecordCheck(*this, outcome, began);
    } else {
        ShowStatus(*this, ReceptionErrorCaption);
        errCount = static_cast<std::int16_t>(errCount + 1);
        RecordCheck(*this, outcome, began);
        AppendFailureLog(*this, outcome, errCount);
        if (errCount >= FailuresBeforeAlert) {
            if (OptBoot(0).Value()) {
                StartRecovery(*this, IisRestart);
                Timer1.Interval = RecoveryIntervalMs;
            }
            AppendRecoveryLog(*this);
            ShowStatus(*this, SendingMailCaption);
            SendAlertMail(*this);
            TearDownTray(*this);
            errCount = 0;
            if (OptBoot(1).Value()) {
                StartRecovery(*this, IisReboot);
                // The program ends here, not through the window: its last words to the fleet go first.
                services().report.event({EventName::Ended, {{"reason", "reboot"}}});
                PublishMetrics(*this, true);
                services().lifetime.endNow();
                return;
            }
        }
    }
    Timer1.Enabled = true;
    PublishMetrics(*this);
}
