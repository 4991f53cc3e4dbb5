// SPDX-License-Identifier: MIT
#include "monitor/AlertMail.h"

#include "common/Clock.h"
#include "common/OperatorReport.h"
#include "monitor/MailCallSites.h"
#include "shell/Form1.h"

#include <cstdint>

namespace {

// The CC list splits at each semicolon.
constexpr const char* CcSeparator = "/\\;/";

bool holdsMoreThanSpaces(const std::string& text)
{
    return text.find_first_not_of(' ') != std::string::npos;
}

void reportSkipped(Form1& form, std::chrono::milliseconds bound, const std::vector<std::string>& skipped)
{
    std::string names;
    for (const std::string& recipient : skipped) {
        names += (names.empty() ? "\"" : ", \"") + recipient + "\"";
    }
    form.services().report.report(ReportKind::MailNotSent,
                                  "alert mail: its " + std::to_string(bound.count() / 1000) +
                                      " s ran out before these recipients were tried, and they were skipped: " + names);
}

// Counts the message for the metrics and tells the machine's log; the mail adapter has already told
// the operator why a message did not go out.
void recordMail(Form1& form, const std::string& recipient, const std::string& answer)
{
    const bool sent = answer == "OK";
    ++(sent ? form.metrics.mailsSent : form.metrics.mailsFailed);
    OperationalEvent event{sent ? EventName::MailSent : EventName::MailFailed, {{"recipient", recipient}}};
    if (!sent) {
        event.fields.emplace_back("reason", answer);
    }
    form.services().report.event(event);
}

} // namespace

void SendAlertMail(Form1& form, std::chrono::milliseconds bound)
{
    MailLibrary& mail = form.services().mail;
    const Clock& clock = form.services().clock;
    const auto deadline = clock.steadyNow() + bound;
    const auto timeLeft = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock.steadyNow());
    };
    // The fields are read again for every message: the window may have changed them meanwhile.
    recordMail(form, form.txtSendto.Text,
               mail.SendMail(form.txtSMTP.Text, form.txtSendto.Text, form.txtFrom.Text, form.txtSubject.Text,
                             form.errReport, std::string(), timeLeft()));
    if (!holdsMoreThanSpaces(form.txtCC.Text)) {
        return;
    }
    std::int32_t count = 0;
    const std::vector<std::string> pieces = Split(CcSeparator, form.txtCC.Text, count);
    for (auto piece = pieces.begin(); piece != pieces.end(); ++piece) {
        const auto left = timeLeft();
        if (left <= std::chrono::milliseconds::zero()) {
            reportSkipped(form, bound, {piece, pieces.end()});
            return;
        }
        // The piece goes as it is, spaces and all, and an empty one too: the mail adapter decides
        // what reaches the envelope.
        recordMail(form, *piece,
                   mail.SendMail(form.txtSMTP.Text, *piece, form.txtFrom.Text, form.txtSubject.Text, form.errReport,
                                 std::string(), left));
    }
}
