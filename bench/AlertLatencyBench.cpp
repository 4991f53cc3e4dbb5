// SPDX-License-Identifier: MIT
// How soon the second failure in a row acts: the time from the start of that check to the restart
// command started (posix_spawn has returned: the process exists), and to the alert accepted by a
// loopback aiosmtpd (the server's reply to the end of the message has arrived). The alert is set
// against `curl --mail-rcpt` sending the same message to the same server, process start included.
// The page is a refused port, so the failure itself costs nothing.
//
//   alert_latency_bench [rounds]     9 by default
#include "BenchSupport.h"
#include "net/CurlInternetClient.h"
#include "net/CurlMailer.h"
#include "net/MailMessage.h"
#include "posix/PosixClock.h"
#include "posix/PosixEnvironment.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixProcessLauncher.h"
#include "posix/Utf8Encoding.h"
#include "shell/Form1.h"
#include "support/ClosedPort.h"
#include "support/Files.h"
#include "support/SmtpTestServer.h"
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using Steady = std::chrono::steady_clock;

// Notes when the wrapped port's call has returned.
class TimedLauncher : public ProcessLauncher
{
public:
    explicit TimedLauncher(ProcessLauncher& inner) : m_inner(inner) {}
    bool start(const std::string& program, const std::vector<std::string>& arguments) override
    {
        const bool started = m_inner.start(program, arguments);
        startedAt = Steady::now();
        return started;
    }
    std::optional<Steady::time_point> startedAt;

private:
    ProcessLauncher& m_inner;
};

class TimedMail : public MailLibrary
{
public:
    explicit TimedMail(MailLibrary& inner) : m_inner(inner) {}
    using MailLibrary::SendMail;
    std::string SendMail(const std::string& server, const std::string& recipient, const std::string& sender,
                         const std::string& subject, const std::string& body, const std::string& sixth,
                         std::chrono::milliseconds timeLeft) override
    {
        reply = m_inner.SendMail(server, recipient, sender, subject, body, sixth, timeLeft);
        acceptedAt = Steady::now();
        return reply;
    }
    std::optional<Steady::time_point> acceptedAt;
    std::string reply;

private:
    MailLibrary& m_inner;
};

double runCurlMail(const SmtpTestServer& server, const std::string& messageFile)
{
    const std::string url = "smtp://" + server.address();
    std::vector<std::string> args{
        "curl", "-s", url, "--mail-from", "watch@example.test", "--mail-rcpt", "ops@example.test", "-T", messageFile};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const auto start = Steady::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start curl\n");
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "curl --mail-rcpt failed\n");
        std::exit(1);
    }
    return SecondsSince(start);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 9;
    TemporaryFolder folder("sentrybell-alert-bench");
    WriteFile(folder / "iisreset", "#!/bin/sh\nexit 0\n", std::filesystem::perms(0755));
    SmtpTestServer smtp;
    ClosedPort deadWebServer;

    PosixClock clock;
    PosixEnvironment environment(folder / "sentrybell");
    PosixFileSystem files;
    Utf8Encoding encoding;
    IdlePorts idle;
    CurlInternetClient internet;
    PosixProcessLauncher realLauncher;
    TimedLauncher launcher(realLauncher);
    CurlMailer realMailer;
    TimedMail mail(realMailer);
    Form1 form({clock, environment, files, encoding, idle.messageBox, idle.tray, idle.lifetime, idle.shell, internet,
                mail, launcher, idle.registry, idle.fileChooser, idle.folderChooser, idle.report, idle.notice});
    form.txtUrl.Text = "http://" + deadWebServer.address() + "/check.htm";
    form.txtTimeout.Text = "5";
    form.txtTimer.Text = "30";
    form.txtLog.Text = folder / "iiserr.txt";
    form.txtParaPath.Text = folder.path();
    form.txtSMTP.Text = smtp.address();
    form.txtSendto.Text = "ops@example.test";
    form.txtFrom.Text = "watch@example.test";
    form.txtSubject.Text = "web server down";
    form.OptBoot(0).Value = true;

    std::vector<double> toRestart;
    std::vector<double> toAlert;
    std::vector<double> curlTimes;
    for (int round = 0; round < rounds; ++round) {
        form.Timer1_Timer(); // the first failure
        launcher.startedAt.reset();
        mail.acceptedAt.reset();
        const auto secondFailure = Steady::now();
        form.Timer1_Timer();
        if (!launcher.startedAt || !mail.acceptedAt || mail.reply != "OK") {
            std::fprintf(stderr, "the alert did not go out: %s\n", mail.reply.c_str());
            return 1;
        }
        toRestart.push_back(std::chrono::duration<double>(*launcher.startedAt - secondFailure).count());
        toAlert.push_back(std::chrono::duration<double>(*mail.acceptedAt - secondFailure).count());

        // The same message, as CurlMailer built it, sent by curl.
        const std::string message =
            BuildMailMessage({"watch@example.test", "ops@example.test", "web server down", form.errReport,
                              MailDate(std::chrono::system_clock::now()), MessageId("watch@example.test", "bench")});
        WriteFile(folder / "message.eml", message, std::filesystem::perms(0644));
        curlTimes.push_back(runCurlMail(smtp, folder / "message.eml"));
    }
    if (!smtp.waitForMails(static_cast<std::size_t>(2 * rounds), std::chrono::seconds(10))) {
        std::fprintf(stderr, "the server did not record every message\n");
        return 1;
    }
    smtp.stop();

    const double restart = Median(toRestart);
    const double alert = Median(toAlert);
    const double curl = Median(curlTimes);
    std::printf("second failure in a row, median of %d rounds\n", rounds);
    std::printf("  to the restart command started   %7.2f ms\n", restart * 1000);
    std::printf("  to the alert accepted            %7.2f ms\n", alert * 1000);
    std::printf("  curl --mail-rcpt, same message   %7.2f ms\n", curl * 1000);
    PrintFigure("second failure to restart started", restart * 1000, " ms", 100);
    PrintFigure("second failure to alert accepted / curl --mail-rcpt", alert / curl, "", 1.5);
    return 0;
}
