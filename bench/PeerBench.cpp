// SPDX-License-Identifier: MIT
// sentrybelld against Monit, the peer that watches a web server page the same way, each on its own in
// turn, on the same loopback page with the same interval (a check every second, a receive timeout of
// two seconds, the restart command at the second failure in a row):
//
//   idle memory        RSS and PSS after some seconds of healthy checks, the median of three samples
//   CPU per check      the process's processor time (schedstat) over healthy checks, per check
//   page down          the page's server taken down (connections refused) to the restart command run
//   page hangs         the page answering nothing any more to the restart command run
//
// Each latency round starts the watchdog afresh and waits for two healthy checks first. The restart
// command is a recorder that appends the wall-clock time it ran. Given a folder holding another
// libcurl.so.4 (one built with HTTP(S) and SMTP(S) only, say), the idle memory of sentrybelld run on
// it is measured too.
//
//   peer_bench <sentrybelld> <monit> [rounds [libcurl folder]]     3 rounds by default
#include "BenchSupport.h"
#include "support/ChildProcess.h"
#include "support/Files.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProxyFreeEnvironment.h"
#include "support/TemporaryFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Wall = std::chrono::system_clock;

constexpr char Page[] = "<html><body>Sentrybell check page: alive</body></html>\n";
constexpr auto CpuWindow = 20s;
constexpr auto StartBound = 30s;
constexpr auto RestartBound = 60s;

double wallSeconds(Wall::time_point time)
{
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

// One field of /proc/<pid>/smaps_rollup, in KiB.
long smapsKib(int pid, const std::string& field)
{
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    for (std::string line; std::getline(rollup, line);) {
        if (line.starts_with(field + ":")) {
            return std::atol(line.c_str() + field.size() + 1);
        }
    }
    return -1;
}

// Processor time of every thread of the process so far, in seconds (nanoseconds from the scheduler).
double cpuSeconds(int pid)
{
    double total = 0;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        std::ifstream schedstat(task.path() / "schedstat");
        double onCpu = 0;
        schedstat >> onCpu;
        total += onCpu / 1e9;
    }
    return total;
}

// A watchdog under measurement: how to start it in a folder of its own, with the recorder as its
// restart command.
class Watchdog
{
public:
    virtual ~Watchdog() = default;
    virtual std::string name() const = 0;
    virtual std::unique_ptr<ChildProcess> start() = 0;

    // The times the restart command ran, in seconds since the epoch.
    std::vector<double> restarts() const
    {
        std::vector<double> times;
        std::istringstream lines(ReadWholeFile(m_folder / "restarts"));
        for (double time = 0; lines >> time;) {
            times.push_back(time);
        }
        return times;
    }
    void forgetRestarts() const { fs::remove(m_folder / "restarts"); }
    std::string standardError() const { return ReadWholeFile(m_folder / "stderr"); }

protected:
    std::string recorder(const std::string& path) const
    {
        WriteFile(path, "#!/bin/sh\ndate +%s.%N >> '" + (m_folder / "restarts") + "'\n", fs::perms(0755));
        return path;
    }
    ChildProcess::Options options(std::vector<std::string> argv) const
    {
        ChildProcess::Options options;
        options.argv = std::move(argv);
        options.standardError = m_folder / "stderr";
        options.standardOutput = m_folder / "stdout";
        options.workingFolder = m_folder.path();
        return options;
    }

    TemporaryFolder m_folder{"sentrybell-peer-bench-"};
};

// sentrybelld from an install folder of its own, with the environment its unit gives it.
class Sentrybelld : public Watchdog
{
public:
    Sentrybelld(const std::string& program, const std::string& url, std::string libraries = {})
        : m_libraries(std::move(libraries))
    {
        fs::create_directory(m_folder / "install");
        fs::copy_file(program, m_folder / "install/sentrybelld");
        recorder(m_folder / "install/iisreset");
        WriteFile(m_folder / "install/SETTING.ini",
                  "[MAIL]\nADDRESS=watch@example.test\nMAILID=\" \"\nPASSWORD=\" \"\nSMTP=127.0.0.1:9\n"
                  "SUBJECT=down\nSEND=ops@example.test\nCC=\" \"\n"
                  "[SETTING]\nLOGPATH=" +
                      (m_folder / "iiserr.txt") + "\nSAVEFOLDER=" + m_folder.path() + "\nTIMEOUT=2\nTIMER=1\nURL=" +
                      url + "\nKIDOU=0\nLOGIN=0\nID=operator\nLOGINPASS=secret\nPROXY=\nRESTART=0\n",
                  fs::perms(0600));
    }
    std::string name() const override { return "sentrybelld"; }
    std::unique_ptr<ChildProcess> start() override
    {
        auto options = this->options({m_folder / "install/sentrybelld"});
        options.environment = {{"GNUTLS_NO_IMPLICIT_INIT", "1"}}; // as sentrybell.service sets it
        if (!m_libraries.empty()) {
            options.environment["LD_LIBRARY_PATH"] = m_libraries;
        }
        return std::make_unique<ChildProcess>(options);
    }

private:
    std::string m_libraries;
};

// Monit in the foreground, its one check the page over HTTP.
class Monit : public Watchdog
{
public:
    Monit(const std::string& program, std::uint16_t port) : m_program(program)
    {
        const std::string restart = recorder(m_folder / "restart");
        WriteFile(m_folder / "monitrc",
                  "set daemon 1\n"
                  "set logfile " +
                      (m_folder / "monit.log") + "\nset pidfile " + (m_folder / "monit.pid") + "\nset idfile " +
                      (m_folder / "monit.id") + "\nset statefile " + (m_folder / "monit.state") +
                      "\ncheck host page with address 127.0.0.1\n"
                      "    if failed port " +
                      std::to_string(port) +
                      " protocol http request \"/check.htm\" with timeout 2 seconds for 2 cycles then exec \"" +
                      restart + "\"\n",
                  fs::perms(0600)); // Monit refuses a control file that others may read
    }
    std::string name() const override { return "Monit"; }
    std::unique_ptr<ChildProcess> start() override
    {
        fs::remove(m_folder / "monit.state"); // a fresh start: no failure carried over
        return std::make_unique<ChildProcess>(options({m_program, "-I", "-c", m_folder / "monitrc"}));
    }

private:
    std::string m_program;
};

struct Figures
{
    double rss = 0;               // MiB
    double pss = 0;               // MiB
    double cpuPerCheck = 0;       // seconds
    std::vector<double> pageDown; // seconds, per round
    std::vector<double> pageHangs;
};

[[noreturn]] void fail(const std::string& why)
{
    std::fprintf(stderr, "peer_bench: %s\n", why.c_str());
    std::exit(1);
}

bool waitForRequests(LoopbackHttpServer& web, std::size_t count, std::chrono::milliseconds bound)
{
    return WaitUntil([&] { return web.requests().size() >= count; }, bound);
}

// From the fault made by `fault` to the restart command, once the watchdog has checked twice.
double faultToRestart(Watchdog& watchdog, std::unique_ptr<LoopbackHttpServer>& web, const std::function<void()>& fault)
{
    const std::uint16_t port = web->port();
    web.reset(); // the port is free again before the page comes back on it
    web = std::make_unique<LoopbackHttpServer>(port);
    web->setReply(HttpReply::page(200, Page));
    watchdog.forgetRestarts();
    const auto process = watchdog.start();
    if (!waitForRequests(*web, 2, StartBound)) {
        fail(watchdog.name() + " did not check the page: " + watchdog.standardError());
    }
    // Just after a check, as a fault falls at any point of the interval.
    const auto faulted = Wall::now();
    fault();
    if (!WaitUntil([&] { return !watchdog.restarts().empty(); }, RestartBound)) {
        fail(watchdog.name() + " never ran the restart command");
    }
    process->stop();
    return watchdog.restarts().front() - wallSeconds(faulted);
}

// Idle memory, processor time per check and, for `rounds` rounds each, the two latencies.
Figures measure(Watchdog& watchdog, std::unique_ptr<LoopbackHttpServer>& web, int rounds)
{
    Figures figures;
    web->setReply(HttpReply::page(200, Page));
    {
        const auto process = watchdog.start();
        if (!waitForRequests(*web, 2, StartBound)) {
            fail(watchdog.name() + " did not check the page: " + watchdog.standardError());
        }
        std::this_thread::sleep_for(6s);
        std::vector<double> rss;
        std::vector<double> pss;
        for (int sample = 0; sample < 3; ++sample) {
            rss.push_back(static_cast<double>(smapsKib(process->pid(), "Rss")) / 1024);
            pss.push_back(static_cast<double>(smapsKib(process->pid(), "Pss")) / 1024);
            std::this_thread::sleep_for(1s);
        }
        figures.rss = Median(rss);
        figures.pss = Median(pss);

        const std::size_t checksBefore = web->requests().size();
        const double cpuBefore = cpuSeconds(process->pid());
        std::this_thread::sleep_for(CpuWindow);
        const double cpu = cpuSeconds(process->pid()) - cpuBefore;
        const std::size_t checks = web->requests().size() - checksBefore;
        figures.cpuPerCheck = checks > 0 ? cpu / static_cast<double>(checks) : 0;
        process->stop();
    }
    for (int round = 0; round < rounds; ++round) {
        figures.pageDown.push_back(faultToRestart(watchdog, web, [&] { web->stop(); }));
        figures.pageHangs.push_back(faultToRestart(watchdog, web, [&] { web->setReply(HttpReply::silence()); }));
    }
    return figures;
}

void printRatio(const std::string& name, double ours, double theirs, double atMost)
{
    const double ratio = ours / theirs;
    if (atMost > 0) {
        std::printf("FIGURE|%s|%.3g|<= %.3g|%s\n", name.c_str(), ratio, atMost, ratio <= atMost ? "met" : "MISSED");
    } else {
        std::printf("FIGURE|%s|%.3g|(no target)|-\n", name.c_str(), ratio);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: peer_bench <sentrybelld> <monit> [rounds]\n");
        return 2;
    }
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    const ProxyFreeEnvironment noProxy;
    auto web = std::make_unique<LoopbackHttpServer>();
    Sentrybelld sentrybelld(argv[1], web->url("/check.htm"));
    Monit monit(argv[2], web->port());
    const Figures ours = measure(sentrybelld, web, rounds);
    const Figures theirs = measure(monit, web, rounds);
    std::optional<Figures> minimalCurl;
    if (argc > 4) {
        Sentrybelld onMinimalCurl(argv[1], web->url("/check.htm"), argv[4]);
        minimalCurl = measure(onMinimalCurl, web, 0);
    }

    std::printf("%d rounds each of page down and page hangs; a check every second, receive timeout 2 s\n", rounds);
    std::printf("                          sentrybelld        Monit\n");
    std::printf("  idle RSS                %8.1f MiB %8.1f MiB\n", ours.rss, theirs.rss);
    std::printf("  idle PSS                %8.1f MiB %8.1f MiB\n", ours.pss, theirs.pss);
    std::printf("  CPU per healthy check   %8.2f ms  %8.2f ms\n", ours.cpuPerCheck * 1e3, theirs.cpuPerCheck * 1e3);
    std::printf("  page down -> restart    %8.2f s   %8.2f s\n", Median(ours.pageDown), Median(theirs.pageDown));
    std::printf("  page hangs -> restart   %8.2f s   %8.2f s\n", Median(ours.pageHangs), Median(theirs.pageHangs));
    printRatio("idle RSS, sentrybelld / Monit", ours.rss, theirs.rss, 1.5);
    printRatio("idle PSS, sentrybelld / Monit", ours.pss, theirs.pss, 1.5);
    printRatio("idle RSS, sentrybelld / Monit (stretch)", ours.rss, theirs.rss, 1.0);
    printRatio("idle PSS, sentrybelld / Monit (stretch)", ours.pss, theirs.pss, 1.0);
    printRatio("CPU per healthy check, sentrybelld / Monit", ours.cpuPerCheck, theirs.cpuPerCheck, 0);
    printRatio("page down -> restart, sentrybelld / Monit", Median(ours.pageDown), Median(theirs.pageDown), 0);
    printRatio("page hangs -> restart, sentrybelld / Monit", Median(ours.pageHangs), Median(theirs.pageHangs), 0);
    if (minimalCurl) {
        std::printf("  on a libcurl of HTTP(S) and SMTP(S) only (%s): idle RSS %.1f MiB, PSS %.1f MiB\n", argv[4],
                    minimalCurl->rss, minimalCurl->pss);
        printRatio("idle RSS, sentrybelld on a minimal libcurl / Monit", minimalCurl->rss, theirs.rss, 0);
        printRatio("idle PSS, sentrybelld on a minimal libcurl / Monit", minimalCurl->pss, theirs.pss, 0);
    }
    return 0;
}
