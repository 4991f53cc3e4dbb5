// SPDX-License-Identifier: MIT
// The processor time of one check of a small page on loopback (Timer1_Timer over the real adapters:
// captions, the fetch, the page copy written and put in place) against one request for the same page
// made here with libcurl's easy interface (a new handle per request, as each check opens its own
// session).
// Only this thread's time is counted: the loopback server runs on a thread of its own.
//
//   check_cpu_bench [requests]     2000 of each by default, in alternating batches
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
#include <ctime>
#include <curl/curl.h>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr int Batch = 100;
constexpr char Page[] = "<html><body>Sentrybell check page: alive</body></html>\n";

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::size_t discard(char*, std::size_t size, std::size_t count, void* received)
{
    *static_cast<std::size_t*>(received) += size * count;
    return size * count;
}

bool easyRequest(const std::string& url)
{
    CURL* easy = curl_easy_init();
    std::size_t received = 0;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "WinInet Test");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &received);
    const CURLcode code = curl_easy_perform(easy);
    curl_easy_cleanup(easy);
    return code == CURLE_OK && received > 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int requests = argc > 1 ? std::atoi(argv[1]) : 2000;
    const ProxyFreeEnvironment noProxy;
    LoopbackHttpServer server;
    server.setReply(HttpReply::page(200, Page));
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
    const std::string url = server.url("/check.htm");
    form.txtUrl.Text = url;
    form.txtTimeout.Text = "10";
    form.txtTimer.Text = "30";
    form.txtLog.Text = folder + "/iiserr.txt";
    form.txtParaPath.Text = folder;

    double checkCpu = 0;
    double easyCpu = 0;
    double fetchCpu = 0;
    double copyCpu = 0;
    double bareWriteCpu = 0;
    double checkWall = 0;
    double easyWall = 0;
    for (int done = 0; done < requests; done += Batch) {
        auto wall = std::chrono::steady_clock::now();
        double cpu = threadCpuSeconds();
        for (int i = 0; i < Batch; ++i) {
            if (!easyRequest(url)) {
                std::fprintf(stderr, "easy request failed\n");
                return 1;
            }
        }
        easyCpu += threadCpuSeconds() - cpu;
        easyWall += SecondsSince(wall);

        wall = std::chrono::steady_clock::now();
        cpu = threadCpuSeconds();
        for (int i = 0; i < Batch; ++i) {
            form.Timer1_Timer();
            if (form.errCount != 0) {
                std::fprintf(stderr, "the check failed\n");
                return 1;
            }
        }
        checkCpu += threadCpuSeconds() - cpu;
        checkWall += SecondsSince(wall);

        // The same fetch without the page copy, to tell the network part from the file part.
        form.txtParaPath.Text = "";
        cpu = threadCpuSeconds();
        for (int i = 0; i < Batch; ++i) {
            if (FetchCheckPage(form) != FetchSucceeded) {
                std::fprintf(stderr, "the fetch failed\n");
                return 1;
            }
        }
        fetchCpu += threadCpuSeconds() - cpu;
        form.txtParaPath.Text = folder;

        // The page copy alone, as the check makes it: a temporary written and put in place of the
        // copy, nothing synced. And the floor of any file write: open, write, close.
        cpu = threadCpuSeconds();
        for (int i = 0; i < Batch; ++i) {
            auto staged = files.stageFile(folder + "/check.htm", "check.htm.part");
            if (!staged || !staged->write(Page) || !staged->commit()) {
                std::fprintf(stderr, "the copy failed\n");
                return 1;
            }
        }
        copyCpu += threadCpuSeconds() - cpu;
        cpu = threadCpuSeconds();
        for (int i = 0; i < Batch; ++i) {
            const int fd = ::open((folder + "/bare.htm").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0 || ::write(fd, Page, sizeof Page - 1) < 0 || ::close(fd) != 0) {
                std::fprintf(stderr, "the bare write failed\n");
                return 1;
            }
        }
        bareWriteCpu += threadCpuSeconds() - cpu;
    }
    server.stop();

    const double perCheck = checkCpu / requests * 1e6;
    const double perEasy = easyCpu / requests * 1e6;
    std::printf("one check of a small page on loopback, %d of each\n", requests);
    std::printf("  Timer1_Timer      %7.1f us CPU   %7.1f us wall\n", perCheck, checkWall / requests * 1e6);
    std::printf("    the fetch without the page copy          %7.1f us CPU\n", fetchCpu / requests * 1e6);
    std::printf("    the page copy alone (staged, in place)   %7.1f us CPU\n", copyCpu / requests * 1e6);
    std::printf("    a bare open/write/close of the page      %7.1f us CPU\n", bareWriteCpu / requests * 1e6);
    std::printf("  curl_easy_perform %7.1f us CPU   %7.1f us wall\n", perEasy, easyWall / requests * 1e6);
    PrintFigure("CPU of one check / one easy request", perCheck / perEasy, "", 1.2);
    return 0;
}
