// SPDX-License-Identifier: MIT
#include "common/Clock.h"
#include "config/FieldRules.h"
#include "monitor/AlertMail.h"
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

    const int outcome = FetchCheckPage(*this);
    if (outcome == 0) {
        errCount = 0;
        // An interval the rule refuses leaves the timer with the interval it had: never zero.
        if (const auto interval = TimerMilliseconds(txtTimer.Text())) {
            Timer1.Interval = *interval;
        }
        ShowStatus(*this, DateTimeText(services().clock.localNow()) + ReadNormallySuffix);
    } else {
        ShowStatus(*this, ReceptionErrorCaption);
        errCount = static_cast<std::int16_t>(errCount + 1);
        AppendFailureLog(*this, outcome, errCount);
        if (errCount >= FailuresBeforeAlert) {
            if (OptBoot(0).Value()) {
                RunIisReset(*this, IisRestart);
                Timer1.Interval = RecoveryIntervalMs;
            }
            AppendRecoveryLog(*this);
            ShowStatus(*this, SendingMailCaption);
            SendAlertMail(*this);
            TearDownTray(*this);
            errCount = 0;
            if (OptBoot(1).Value()) {
                RunIisReset(*this, IisReboot);
                services().lifetime.endNow();
                return;
            }
        }
    }
    Timer1.Enabled = true;
}
