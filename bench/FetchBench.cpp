// SPDX-License-Identifier: MIT
// Fetches a 64 MiB page from a loopback server, in turns, through FetchCheckPage with the real
// adapters and through `curl -s -o`, and prints the median times, their ratio and how far the peak
// resident memory of this process grew during the fetches. The copy is synced to disk before it
// replaces check.htm, which curl does not do; that sync is most of the difference on a slow disk.
#include "monitor/FetchCheckPage.h"
#include "net/CurlInternetClient.h"
#include "posix/PosixClock.h"
#include "posix/PosixEnvironment.h"
#include "posix/PosixFileSystem.h"
#include "posix/Utf8Encoding.h"
#include "shell/Form1.h"
#include "shell/UiServices.h"
#include "support/LoopbackHttpServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

constexpr std::size_t PageSize = std::size_t{64} << 20;
constexpr int Rounds = 9;

class NoMessageBox : public MessageBoxService
{
public:
    void MsgBox(const std::string&, int, const std::string&) override {}
};
class NoTray : public TrayService
{
public:
    void notifyIcon(int, const std::string&) override {}
    void installSubclass() override {}
    void restoreSubclass() override {}
};
class NoLifetime : public AppLifetime
{
public:
    void unloadWindow() override {}
    void endNow() override {}
};

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double runCurl(const std::string& url, const std::string& output)
{
    std::vector<std::string> args{"curl", "-s", "-o", output, url};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start curl\n");
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || std::filesystem::file_size(output) != PageSize) {
        std::fprintf(stderr, "curl failed\n");
        std::exit(1);
    }
    return seconds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
        unsetenv(name);
    }
    std::string page(PageSize, '\0');
    for (std::size_t i = 0; i < page.size(); ++i) {
        page[i] = static_cast<char>((i * 2654435761U) >> 13);
    }
    LoopbackHttpServer server;
    server.setReply(HttpReply::page(200, std::move(page)));

    std::string folder = (std::filesystem::temp_directory_path() / "sentrybell-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        return 1;
    }

    PosixClock clock;
    PosixEnvironment environment;
    PosixFileSystem files;
    Utf8Encoding encoding;
    NoMessageBox messageBox;
    NoTray tray;
    NoLifetime lifetime;
    CurlInternetClient internet;
    Form1Services services{clock, environment, files, encoding, messageBox, tray, lifetime};
    services.internet = &internet;
    Form1 form(services);
    form.txtUrl.Text = server.url("/check.htm");
    form.txtTimeout.Text = "10";
    form.txtParaPath.Text = folder;

    const long rssBefore = peakRssKiB();
    std::vector<double> fetchTimes;
    std::vector<double> curlTimes;
    for (int round = 0; round < Rounds; ++round) {
        curlTimes.push_back(runCurl(form.txtUrl.Text(), folder + "/curl.out"));
        const auto start = std::chrono::steady_clock::now();
        const int outcome = FetchCheckPage(form);
        fetchTimes.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (outcome != FetchSucceeded || std::filesystem::file_size(folder + "/check.htm") != PageSize) {
            std::fprintf(stderr, "FetchCheckPage failed: outcome %d\n", outcome);
            return 1;
        }
    }
    const long rssGrowth = peakRssKiB() - rssBefore;
    server.stop();
    std::filesystem::remove_all(folder);

    const double fetchMedian = median(fetchTimes);
    const double curlMedian = median(curlTimes);
    std::printf("64 MiB page on loopback, median of %d rounds\n", Rounds);
    std::printf("  FetchCheckPage    %7.1f ms\n", fetchMedian * 1000);
    std::printf("  curl -s -o        %7.1f ms\n", curlMedian * 1000);
    std::printf("  time ratio        %7.2f   (target <= 1.5)\n", fetchMedian / curlMedian);
    std::printf("  peak RSS growth   %7.2f MiB (target < 8)\n", static_cast<double>(rssGrowth) / 1024.0);
    return 0;
}
