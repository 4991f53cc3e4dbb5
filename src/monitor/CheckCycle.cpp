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

// One check. The timer is off while it runs and is enabled again only as the last step, so the
// pause between two checks counts from the end of one to the start of the next.
void Form1::Timer1_Timer()
{
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
