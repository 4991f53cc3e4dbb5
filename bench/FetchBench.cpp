// SPDX-License-Identifier: MIT
// Fetches a large page from a loopback server, in turns, through FetchCheckPage with the real
// adapters and through `curl -s -o`, and prints the median times, their ratio, and the peak memory
// each needed: for the check, how far this process's peak resident memory grew during the fetches
// (the page itself, held by the test server in this process, was counted before); for curl, its
// whole process.
//
//   fetch_bench [MiB [rounds]]     64 MiB and 9 rounds by default
//
// The copy is synced to disk before it replaces check.htm, which curl does not do; on a slow disk
// that sync is most of the difference.
#include "BenchSupport.h"
#include "monitor/FetchCheckPage.h"
#include "net/CurlInternetClient.h"
#include "posix/PosixClock.h"
#include "posix/PosixEnvironment.h"
#include "posix/PosixFileSystem.h"
#include "posix/Utf8Encoding.h"
#include "shell/Form1.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProxyFreeEnvironment.h"
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct CurlRun
{
    double seconds = 0;
    long peakKiB = 0;
};

// `fetch_bench --peak-of <file> <program> <arguments...>` runs the program and writes its peak resident
// memory in KiB to the file. A child started straight from the benchmark would report the
// benchmark's own peak (the page the test server holds included): a process started with
// posix_spawn shares its parent's memory until it executes the program, and the peak carries over.
// Started from this small helper process instead, the program's peak is its own.
int peakOf(const char* file, char** argv)
{
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
        return 127;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (FILE* out = std::fopen(file, "w")) {
        std::fprintf(out, "%ld\n", usage.ru_maxrss);
        std::fclose(out);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

CurlRun runCurl(const std::string& url, const std::string& output, std::size_t size)
{
    const std::string peakFile = output + ".peak";
    std::vector<std::string> args{"/proc/self/exe", "--peak-of", peakFile, "curl", "-s", "-o", output, url};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start curl\n");
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    CurlRun run{SecondsSince(start), 0};
    if (FILE* in = std::fopen(peakFile.c_str(), "r")) {
        if (std::fscanf(in, "%ld", &run.peakKiB) != 1) {
            run.peakKiB = 0;
        }
        std::fclose(in);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || std::filesystem::file_size(output) != size) {
        std::fprintf(stderr, "curl failed\n");
        std::exit(1);
    }
    std::filesystem::remove(output);
    std::filesystem::remove(peakFile);
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 3 && std::string(argv[1]) == "--peak-of") {
        return peakOf(argv[2], argv + 3);
    }
    const std::size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
    const std::size_t pageSize = mebibytes << 20;
    const ProxyFreeEnvironment noProxy;
    std::string page(pageSize, '\0');
    for (std::size_t i = 0; i < page.size(); ++i) {
        page[i] = static_cast<char>((i * 2654435761U) >> 13);
    }
    LoopbackHttpServer server;
    server.setReply(HttpReply::page(200, std::move(page)));

    const TemporaryFolder scratch("sentrybell-bench-");
    const std::string& folder = scratch.path();

    PosixClock clock;
    PosixEnvironment environment;
    PosixFileSystem files;
    Utf8Encoding encoding;
    IdlePorts idle;
    CurlInternetClient internet;
    Form1 form({clock, environment, files, encoding, idle.messageBox, idle.tray, idle.lifetime, idle.shell, internet,
                idle.mail, idle.launcher, idle.registry, idle.fileChooser, idle.folderChooser, idle.report,
                idle.notice});
    form.txtUrl.Text = server.url("/check.htm");
    form.txtTimeout.Text = "10";
    form.txtParaPath.Text = folder;

    const long rssBefore = peakRssKiB();
    std::vector<double> fetchTimes;
    std::vector<double> curlTimes;
    long curlPeakKiB = 0;
    for (int round = 0; round < rounds; ++round) {
        const CurlRun curl = runCurl(form.txtUrl.Text(), folder + "/curl.out", pageSize);
        curlTimes.push_back(curl.seconds);
        curlPeakKiB = std::max(curlPeakKiB, curl.peakKiB);
        const auto start = std::chrono::steady_clock::now();
        const int outcome = FetchCheckPage(form);
        fetchTimes.push_back(SecondsSince(start));
        if (outcome != FetchSucceeded || std::filesystem::file_size(folder + "/check.htm") != pageSize) {
            std::fprintf(stderr, "FetchCheckPage failed: outcome %d\n", outcome);
            return 1;
        }
    }
    const long rssGrowth = peakRssKiB() - rssBefore;
    server.stop();

    const double fetchMedian = Median(fetchTimes);
    const double curlMedian = Median(curlTimes);
    std::printf("%zu MiB page on loopback, median of %d rounds\n", mebibytes, rounds);
    std::printf("  FetchCheckPage    %8.1f ms   peak memory +%.1f MiB\n", fetchMedian * 1000,
                static_cast<double>(rssGrowth) / 1024.0);
    std::printf("  curl -s -o        %8.1f ms   peak memory  %.1f MiB (whole process)\n", curlMedian * 1000,
                static_cast<double>(curlPeakKiB) / 1024.0);
    const std::string name = std::to_string(mebibytes) + " MiB fetch time / curl -s -o";
    if (mebibytes == 64) {
        PrintFigure(name, fetchMedian / curlMedian, "", 1.5);
    } else {
        std::printf("FIGURE|%s|%.3g|(no target)|-\n", name.c_str(), fetchMedian / curlMedian);
        std::printf("FIGURE|%zu MiB fetch peak memory, check / curl|%.1f MiB / %.1f MiB|(no target)|-\n", mebibytes,
                    static_cast<double>(rssGrowth) / 1024.0, static_cast<double>(curlPeakKiB) / 1024.0);
    }
    return 0;
}
