// SPDX-License-Identifier: MIT
// The metrics file as a fleet's monitoring reads it: the real program through a restart, and the
// real node_exporter serving the file with its textfile collector.
#include "e2e/InstalledProgram.h"
#include "support/LoopbackHttpServer.h"
#include "support/SmtpTestServer.h"

#include <arpa/inet.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <regex>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr const char* NodeExporter = "/usr/bin/prometheus-node-exporter";

// A loopback port free at the time of asking: bound to port 0, read, and let go.
std::uint16_t freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("no loopback port");
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

// The value of the one sample of that name and labels in a scrape, or nothing.
std::optional<std::string> sampleValue(const std::string& scrape, const std::string& series)
{
    const std::size_t at = scrape.find("\n" + series + " ");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t start = at + series.size() + 2;
    return scrape.substr(start, scrape.find('\n', start) - start);
}

TEST(FleetMetrics, NodeExporterServesEveryMetricOfARestart)
{
    if (!std::filesystem::exists(NodeExporter)) {
        GTEST_SKIP() << NodeExporter << " is not installed (scripts/setup installs it)";
    }
    LoopbackHttpServer web;
    web.setReply(HttpReply::page(200, "<html>alive</html>"));
    web.goDownAfter(1);
    SmtpTestServer smtp;
    InstalledProgram program;
    const std::string collected = program.file("collected");
    std::filesystem::create_directory(collected);
    program.writeSettings(MonitoringSettings(program, web.url("/check.htm"), smtp.address(), "0", "cc@example.test") +
                          "[METRICS]\r\nFILE=" + collected + "/sentrybell.prom\r\n");

    ChildProcess& watchdog = program.start();
    ASSERT_TRUE(smtp.waitForMails(2, 40s)) << program.standardError();
    // The file is replaced at the end of the check that sent the alert.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return ReadWholeFile(collected + "/sentrybell.prom")
                       .find("sentrybell_alert_mails_total{result=\"sent\"} 2") != std::string::npos;
        },
        30s))
        << ReadWholeFile(collected + "/sentrybell.prom");
    EXPECT_EQ(std::filesystem::status(collected + "/sentrybell.prom").permissions(), std::filesystem::perms(0644));

    const std::string listen = "127.0.0.1:" + std::to_string(freeLoopbackPort());
    ChildProcess::Options exporterOptions;
    exporterOptions.argv = {NodeExporter, "--web.listen-address=" + listen, "--collector.disable-defaults",
                            "--collector.textfile", "--collector.textfile.directory=" + collected};
    ChildProcess exporter(exporterOptions);
    CommandResult scrape;
    ASSERT_TRUE(WaitUntil(
        [&] {
            scrape = RunCommand({"curl", "-sf", "--noproxy", "*", "http://" + listen + "/metrics"}, {}, 10s);
            return scrape.exitCode == 0;
        },
        30s))
        << "node_exporter did not answer on " << listen;
    const std::string& text = scrape.output;
    RecordProperty("scrape", text); // kept in the XML report (--gtest_output=xml), for a look by hand

    EXPECT_EQ(sampleValue(text, "node_textfile_scrape_error"), "0") << text;
    for (const auto& [series, value] : std::vector<std::pair<std::string, std::string>>{
             {"sentrybell_build_info{version=\"0.1.0\"}", "1"},
             {"sentrybell_timer_running", "1"},
             {"sentrybell_consecutive_failures", "0"},
             {"sentrybell_last_check_healthy", "0"},
             {"sentrybell_last_check_outcome{outcome=\"url_not_opened\"}", "1"},
             {"sentrybell_last_check_outcome{outcome=\"healthy\"}", "0"},
             {"sentrybell_checks_total{outcome=\"healthy\"}", "1"},
             {"sentrybell_checks_total{outcome=\"url_not_opened\"}", "2"},
             {"sentrybell_recoveries_started_total{action=\"restart\"}", "1"},
             {"sentrybell_recoveries_started_total{action=\"reboot\"}", "0"},
             {"sentrybell_alert_mails_total{result=\"sent\"}", "2"},
             {"sentrybell_alert_mails_total{result=\"failed\"}", "0"},
         }) {
        EXPECT_EQ(sampleValue(text, series), value) << series;
    }
    // Times as node_exporter parsed them: a start and a last check in this century, a duration under
    // the receive timeout.
    for (const char* series : {"sentrybell_start_time_seconds", "sentrybell_last_check_timestamp_seconds",
                               "sentrybell_last_check_duration_seconds"}) {
        const auto value = sampleValue(text, series);
        ASSERT_TRUE(value) << series << " missing:\n" << text;
        const double number = std::stod(*value);
        EXPECT_TRUE(std::string(series).find("duration") != std::string::npos ? number >= 0 && number < 10
                                                                              : number > 1.7e9)
            << series << " " << *value;
    }
    EXPECT_TRUE(watchdog.running());
}

} // namespace
