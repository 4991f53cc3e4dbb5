// SPDX-License-Identifier: MIT
#include "monitor/CheckMetrics.h"

#include "common/Clock.h"
#include "common/FileSystem.h"
#include "common/OperatorReport.h"
#include "common/ProgramVersion.h"
#include "monitor/FetchCheckPage.h"
#include "shell/Form1.h"
#include "shell/UiServices.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace {

constexpr std::array<const char*, 5> OutcomeNames{"healthy", "no_session", "url_not_opened", "read_failed",
                                                  "timeout_not_set"};

double seconds(std::chrono::system_clock::time_point at)
{
    return std::chrono::duration<double>(at.time_since_epoch()).count();
}

// Writes one metric family: its help and type, then one sample per label value.
class Exposition
{
public:
    void family(const char* name, const char* type, const char* help)
    {
        m_name = name;
        m_text << "# HELP " << name << ' ' << help << "\n# TYPE " << name << ' ' << type << '\n';
    }
    template <typename Value> void sample(Value value) { m_text << m_name << ' ' << value << '\n'; }
    template <typename Value> void sample(const char* label, const std::string& labelValue, Value value)
    {
        m_text << m_name << '{' << label << "=\"" << escaped(labelValue) << "\"} " << value << '\n';
    }
    std::string text() const { return m_text.str(); }

private:
    static std::string escaped(const std::string& value)
    {
        std::string text;
        for (const char c : value) {
            if (c == '\\' || c == '"') {
                text += '\\';
            }
            text += c == '\n' ? 'n' : c;
        }
        return text;
    }

    // Seconds to the microsecond, never in exponent form, whatever the stream's locale.
    std::ostringstream m_text = [] {
        std::ostringstream text;
        text.imbue(std::locale::classic());
        text << std::fixed << std::setprecision(6);
        return text;
    }();
    const char* m_name = "";
};

} // namespace

const char* OutcomeName(int outcome)
{
    return outcome >= 0 && outcome < static_cast<int>(OutcomeNames.size())
               ? OutcomeNames[static_cast<std::size_t>(outcome)]
               : "unknown";
}

std::string MetricsText(const CheckMetrics& metrics, int errCount, bool timerRunning, const std::string& version)
{
    Exposition out;
    out.family("sentrybell_build_info", "gauge", "The running program's version; always 1.");
    out.sample("version", version, 1);
    out.family("sentrybell_start_time_seconds", "gauge", "When the program started, in seconds since the epoch.");
    out.sample(seconds(metrics.started));
    out.family("sentrybell_timer_running", "gauge", "1 while the timed checks run, 0 while they are off.");
    out.sample(timerRunning ? 1 : 0);
    out.family("sentrybell_consecutive_failures", "gauge",
               "Failed checks in a row; the second one starts the recovery and the alert mail.");
    out.sample(errCount);
    if (metrics.lastOutcome) {
        out.family("sentrybell_last_check_healthy", "gauge", "1 when the last check read the page, 0 when it failed.");
        out.sample(*metrics.lastOutcome == FetchSucceeded ? 1 : 0);
        out.family("sentrybell_last_check_outcome", "gauge", "1 for the outcome of the last check, 0 for the others.");
        for (std::size_t i = 0; i < OutcomeNames.size(); ++i) {
            out.sample("outcome", OutcomeNames[i], static_cast<std::size_t>(*metrics.lastOutcome) == i ? 1 : 0);
        }
        out.family("sentrybell_last_check_timestamp_seconds", "gauge",
                   "When the last check began, in seconds since the epoch.");
        out.sample(seconds(metrics.lastCheckAt));
        out.family("sentrybell_last_check_duration_seconds", "gauge", "How long the last check took.");
        out.sample(std::chrono::duration<double>(metrics.lastCheckDuration).count());
    }
    out.family("sentrybell_checks_total", "counter", "Checks since the program started, by outcome.");
    for (std::size_t i = 0; i < OutcomeNames.size(); ++i) {
        out.sample("outcome", OutcomeNames[i], metrics.checksByOutcome[i]);
    }
    out.family("sentrybell_recoveries_started_total", "counter",
               "Restart and reboot commands the program started after failed checks.");
    out.sample("action", "restart", metrics.restartsStarted);
    out.sample("action", "reboot", metrics.rebootsStarted);
    out.family("sentrybell_alert_mails_total", "counter", "Alert mails, one per recipient, by result.");
    out.sample("result", "sent", metrics.mailsSent);
    out.sample("result", "failed", metrics.mailsFailed);
    return out.text();
}

void RecordCheck(Form1& form, int outcome, std::chrono::steady_clock::time_point began)
{
    const Clock& clock = form.services().clock;
    const auto took = clock.steadyNow() - began;
    CheckMetrics& metrics = form.metrics;
    metrics.lastOutcome = outcome;
    metrics.lastCheckAt = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        clock.systemNow() - std::chrono::duration_cast<std::chrono::system_clock::duration>(took));
    metrics.lastCheckDuration = took;
    if (outcome >= 0 && outcome < static_cast<int>(OutcomeNames.size())) {
        ++metrics.checksByOutcome[static_cast<std::size_t>(outcome)];
    }
    if (outcome != FetchSucceeded) {
        form.services().report.event(
            {EventName::CheckFailed, {{"outcome", OutcomeName(outcome)}, {"count", std::to_string(form.errCount)}}});
    }
}

void PublishMetrics(Form1& form, bool ending)
{
    CheckMetrics& metrics = form.metrics;
    if (metrics.file.empty()) {
        return;
    }
    Form1Services& s = form.services();
    const std::string text = MetricsText(metrics, form.errCount, !ending && form.Timer1.Enabled(), ProgramVersion);
    if (s.files.replaceFile(metrics.file, text, NewFileAccess::Public)) {
        metrics.failureReported = false;
    } else if (!metrics.failureReported) {
        metrics.failureReported = true;
        const std::string why = s.files.lastFailure();
        s.report.report(ReportKind::MetricsNotWritten, "the metrics file " + metrics.file + " cannot be written" +
                                                           (why.empty() ? "" : ": " + why) + "; the checks go on");
    }
}
