// SPDX-License-Identifier: MIT
#include "common/Clock.h"
#include "config/FieldRules.h"
#include "monitor/CheckMetrics.h"
#include "monitor/FailureLog.h"
#include "monitor/FetchCheckPage.h"
#include "monitor/StatusTexts.h"
#include "shell/Form1.h"
#include "shell/RunControl.h"
#include "shell/TrayIcon.h"
#include "shell/UiServices.h"

#include <cstdint>

// One check on demand, with the values in the window. It shares the failure count with the timed
// checks but never recovers anything, sends no mail and leaves the timer off, shown as stopped, so
// that an operator who tests the settings does not walk away believing the checks run.
void Form1::手動チェック_Click()
{
    // Refused before anything changes: the timer must never be handed a zero or negative interval.
    const auto interval = TimerMilliseconds(txtTimer.Text());
    if (!interval) {
        services().messageBox.MsgBox("繰返し受信間隔が正しくありません。", vbExclamation, AppTitle);
        return;
    }

    Timer1.Enabled = false;
    ShowTimerStopped(*this);
    ShowStatus(*this, ReceivingCaption);

    const auto began = services().clock.steadyNow();
    const int outcome = FetchCheckPage(*this);
    if (outcome == 0) {
        RecordCheck(*this, outcome, began);
        Caption = DateTimeText(services().clock.localNow()) + ReadNormallySuffix;
        services().messageBox.MsgBox("ページ読み込みOK！！", vbExclamation, AppTitle);
        errCount = 0;
        Timer1.Interval = *interval;
    } else {
        ShowStatus(*this, ReceptionErrorCaption);
        errCount = static_cast<std::int16_t>(errCount + 1);
        RecordCheck(*this, outcome, began);
        AppendFailureLog(*this, outcome, errCount);
        if (errCount >= FailuresBeforeAlert) {
            TearDownTray(*this);
            errCount = 0;
            services().messageBox.MsgBox("IISエラー", vbExclamation, AppTitle);
        }
    }
    SetTrayIcon(*this, Caption, TrayMessage::Modify);
    PublishMetrics(*this);
}
