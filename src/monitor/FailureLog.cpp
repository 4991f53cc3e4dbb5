// SPDX-License-Identifier: MIT
#include "monitor/FailureLog.h"

#include "common/Clock.h"
#include "common/FileSystem.h"
#include "common/TextEncoding.h"
#include "shell/Form1.h"

#include <string>

namespace {

constexpr const char* LineEnd = "\r\n";

struct OutcomeTexts
{
    const char* logText;     // follows the date-time text directly in the log
    const char* alertSuffix; // follows the failure count in errReport
};

// Outcomes 3 and 4 share the log text but not the alert text.
constexpr OutcomeTexts OutcomeTable[] = {
    {"インターネット接続エラー", "回目\u3000インターネット接続エラー"},
    {"ＵＲＬ指定エラー", "回目\u3000ＵＲＬ指定エラー"},
    {"受信エラー", "回目\u3000受信エラー"},
    {"受信エラー", "回目\u3000受信タイムアウトエラー"},
};

std::string nowText(Form1& form)
{
    return DateTimeText(form.services().clock.localNow());
}

// One line appended to the log file, in the platform's encoding. The result is not examined: a log
// that cannot be written must never stop the watchdog.
void appendLogLine(Form1& form, const std::string& line)
{
    Form1Services& services = form.services();
    const std::string& path = form.txtLog.Text();
    if (path.empty()) {
        return;
    }
    services.files.appendToFile(path, services.encoding.toPlatform(line));
}

} // namespace

void AppendFailureLog(Form1& form, int outcome, int count)
{
    if (outcome < 1 || outcome > 4) {
        return;
    }
    const OutcomeTexts& texts = OutcomeTable[outcome - 1];
    appendLogLine(form, nowText(form) + texts.logText + LineEnd);
    form.errReport += nowText(form) + '\t' + std::to_string(count) + texts.alertSuffix + LineEnd;
}

void AppendRecoveryLog(Form1& form)
{
    appendLogLine(form, nowText(form) + "\t自動 Costom:0\tIIS再起動！！" + LineEnd);
}
