// SPDX-License-Identifier: MIT
// Months of checking in one test: 100 000 check cycles on a fake clock, successes and every kind of
// failure mixed, one in a hundred through the real adapters (HTTP on loopback, the log and the page
// copy on disk, iisreset really started) and the rest through fakes. Afterwards the process holds no
// more descriptors and no more children than before, and its heap has grown by errReport's growth
// and no more. Every check ran when it was due.
#include "fakes/FormHarness.h"
#include "monitor/StatusTexts.h"
#include "net/CurlInternetClient.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixProcessLauncher.h"
#include "posix/Utf8Encoding.h"
#include "support/ClosedPort.h"
#include "support/Files.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProcessCensus.h"
#include "support/ProxyFreeEnvironment.h"
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

constexpr int Cycles = 100000;
constexpr int WarmUpCycles = 2000;
constexpr int BlockLength = 1000; // every block begins with its real cycles
constexpr int RealPerBlock = 10;
// What may move in the heap besides errReport: allocator bookkeeping, libcurl's caches. A leak of a
// few bytes per cycle exceeds it many times over.
constexpr std::size_t HeapSlack = 256 * 1024;

// Counts what a fake would otherwise keep: a mail fake that recorded every alert body would itself
// grow with the square of the run, and the fake log would hold every line in memory.
class CountingMail : public MailLibrary
{
public:
    std::size_t messages = 0;
    std::size_t lastBodySize = 0;
    using MailLibrary::SendMail;
    std::string SendMail(const std::string&, const std::string&, const std::string&, const std::string&,
                         const std::string& body, const std::string&, std::chrono::milliseconds) override
    {
        ++messages;
        lastBodySize = body.size();
        return "OK";
    }
};

class CountingLauncher : public ProcessLauncher
{
public:
    std::size_t starts = 0;
    bool start(const std::string&, const std::vector<std::string>&) override
    {
        ++starts;
        return true;
    }
};

class CountingFiles : public FakeFileSystem
{
public:
    std::size_t appends = 0;
    bool appendToFile(const std::string&, std::string_view) override
    {
        ++appends;
        return true;
    }
};

// The file system of the window, switched between the real one and the counting fake.
class SwitchedFiles : public FileSystem
{
public:
    FileSystem* current = nullptr;
    bool fileExists(const std::string& path) const override { return current->fileExists(path); }
    bool entryExists(const std::string& path) const override { return current->entryExists(path); }
    bool appendToFile(const std::string& path, std::string_view bytes) override
    {
        return current->appendToFile(path, bytes);
    }
    bool createIfMissing(const std::string& path) override { return current->createIfMissing(path); }
    std::optional<std::string> readFile(const std::string& path, std::size_t maxBytes) const override
    {
        return current->readFile(path, maxBytes);
    }
    bool replaceFile(const std::string& path, std::string_view content, NewFileAccess access) override
    {
        return current->replaceFile(path, content, access);
    }
    std::unique_ptr<StagedFile> stageFile(const std::string& path, const std::string& temporaryName) override
    {
        return current->stageFile(path, temporaryName);
    }
};

// The page and the restart, switched between the real adapters and the counting fakes as the files are.
class SwitchedInternet : public InternetClient
{
public:
    InternetClient* current = nullptr;
    std::unique_ptr<InternetSession> openSession(const std::string& agent, const std::string& proxy) override
    {
        return current->openSession(agent, proxy);
    }
};

class SwitchedLauncher : public ProcessLauncher
{
public:
    ProcessLauncher* current = nullptr;
    bool start(const std::string& program, const std::vector<std::string>& arguments) override
    {
        return current->start(program, arguments);
    }
};

// A small deterministic generator, so that a failing run can be repeated exactly.
class Dice
{
public:
    unsigned roll(unsigned sides)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>(m_state >> 33) % sides;
    }

private:
    std::uint64_t m_state = 20261207;
};

std::size_t countOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

class LongRun : public ::testing::Test
{
protected:
    LongRun()
    {
        std::filesystem::create_directory(folder / "log");
        std::filesystem::create_directory(folder / "save");
        WriteFile(folder / "iisreset", "#!/bin/sh\nexit 0\n", std::filesystem::perms(0755));
        fakes.environment.folder = folder.path();
        fakeFiles.addFolder(folder / "log");
        fakeFiles.addFolder(folder / "save");
        web.setReply("/ok", HttpReply::page(200, "<html>ok</html>"));
        web.setReply("/404", HttpReply::page(404, "<html>not found</html>"));
        web.setReply("/reset", HttpReply::resetMidBody(std::string(4000, 'r'), 1000));

        form.txtLog.Text = folder / "log" + "/iiserr.txt";
        form.txtParaPath.Text = folder / "save";
        form.txtTimer.Text = "30";
        form.txtSMTP.Text = "127.0.0.1:25";
        form.txtSendto.Text = "ops@example.test";
        form.txtFrom.Text = "watch@example.test";
        form.txtSubject.Text = "web server down";
        form.OptBoot(0).Value = true;
        form.Timer1.Interval = 30000;
        form.Timer1.Enabled = true;
    }

    // One check, real or fake, failing or not as the dice say. Returns false when the check did not
    // run when it was due or the next one is not due when it should be.
    bool cycle(int index)
    {
        const bool real = index % BlockLength < RealPerBlock;
        const bool fails = dice.roll(100) < 45;
        const unsigned kind = dice.roll(4);
        if (real) {
            switched.current = &realFiles;
            switchedInternet.current = &curl;
            switchedLauncher.current = &launcher;
            form.txtTimeout.Text = "2";
            const std::string okTarget = kind % 2 == 0 ? "/ok" : "/404";
            form.txtUrl.Text = fails ? (kind % 2 == 0 ? refusedUrl : web.url("/reset")) : web.url(okTarget);
            realChecks += 1;
        } else {
            switched.current = &fakeFiles;
            switchedInternet.current = &fakeInternet;
            switchedLauncher.current = &fakeLauncher;
            // An unusable timeout makes a tick check nothing, so it is no failure kind here.
            form.txtTimeout.Text = "5";
            fakeInternet.failSession = fails && kind == 0;
            fakeInternet.failOpen = fails && (kind == 1 || kind == 3);
            fakeInternet.failAfterBody = fails && kind == 2;
        }

        const auto due = timer.dueAt();
        if (!due || !timer.fireNext() || clock.steadyNow() != *due) {
            return false;
        }
        const bool failed = form.Caption() == ReceptionErrorCaption || form.Caption() == SendingMailCaption;
        if (failed != fails) {
            return false;
        }
        if (fails) {
            ++failures;
            ++run;
            realFailures += real ? 1 : 0;
        } else {
            run = 0;
        }
        const bool alerted = fails && run % 2 == 0;
        alerts += alerted ? 1 : 0;
        realAlerts += alerted && real ? 1 : 0;
        const auto interval = alerted ? 40000ms : fails ? lastInterval : 30000ms;
        lastInterval = interval;
        fakeInternet.events.clear();
        tray.calls.clear();
        return timer.dueAt() == clock.steadyNow() + interval;
    }

    bool runCycles(int from, int to)
    {
        for (int i = from; i < to; ++i) {
            if (!cycle(i)) {
                ADD_FAILURE() << "cycle " << i << " did not run when due, or failed wrongly";
                return false;
            }
            if (i % BlockLength == RealPerBlock) {
                web.forgetRequests();
            }
        }
        return true;
    }

    ProxyFreeEnvironment noProxy;
    TemporaryFolder folder{"sentrybell long run"};
    LoopbackHttpServer web;
    ClosedPort refused;
    std::string refusedUrl = "http://" + refused.address() + "/check.htm";
    Dice dice;

    PosixFileSystem realFiles;
    CountingFiles fakeFiles;
    SwitchedFiles switched;
    Utf8Encoding encoding;
    CurlInternetClient curl;
    FakeInternetClient fakeInternet;
    PosixProcessLauncher launcher{[](const std::string& text) { ADD_FAILURE() << text; }};
    CountingLauncher fakeLauncher;
    CountingMail mail;
    SwitchedInternet switchedInternet;
    SwitchedLauncher switchedLauncher;
    FakePorts fakes;
    // Counts the machine-log events rather than keeping each one, which would be heap growth of the
    // test's own.
    struct CountingReport : OperatorReport
    {
        FakeOperatorReport& kept;
        std::size_t checkFailures = 0;
        explicit CountingReport(FakeOperatorReport& keep) : kept(keep) {}
        void report(ReportKind kind, const std::string& message) override { kept.report(kind, message); }
        void event(const OperationalEvent& event) override { checkFailures += event.name == EventName::CheckFailed; }
    } report{fakes.report};
    FakeClock& clock = fakes.clock;
    FakeTray& tray = fakes.tray;
    Form1 form{fakes.services({.files = &switched,
                               .encoding = &encoding,
                               .internet = &switchedInternet,
                               .mail = &mail,
                               .launcher = &switchedLauncher,
                               .report = &report})};
    FakeTimerDriver timer{form, clock};

    std::size_t failures = 0, realFailures = 0, alerts = 0, realAlerts = 0, realChecks = 0;
    int run = 0; // failures in a row
    std::chrono::milliseconds lastInterval{30000};
};

TEST_F(LongRun, HundredThousandChecksLeaveNothingBehindButTheAlertText)
{
    fakeInternet.body = "<html>ok</html>";
    switched.current = &fakeFiles;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(runCycles(0, WarmUpCycles));

    web.forgetRequests();
    ASSERT_TRUE(Eventually([] { return ChildrenOfThisProcess().all == 0; }, 10s));
    const int descriptorsBefore = OpenDescriptors();
    const std::size_t heapBefore = HeapBytesInUse();
    const std::size_t reportBefore = form.errReport.capacity();

    ASSERT_TRUE(runCycles(WarmUpCycles, Cycles));

    web.forgetRequests();
    EXPECT_TRUE(Eventually([] { return ChildrenOfThisProcess().all == 0; }, 10s))
        << ChildrenOfThisProcess().all << " children left, " << ChildrenOfThisProcess().zombies << " of them zombies";
    EXPECT_TRUE(Eventually([&] { return OpenDescriptors() == descriptorsBefore; }, 5s))
        << OpenDescriptors() << " descriptors open, " << descriptorsBefore << " before";
    const std::size_t heapAfter = HeapBytesInUse();
    const std::size_t reportGrowth = form.errReport.capacity() - reportBefore;
    const auto heapGrowth = static_cast<long long>(heapAfter) - static_cast<long long>(heapBefore);
    EXPECT_LE(heapGrowth, static_cast<long long>(reportGrowth + HeapSlack))
        << "the heap grew by " << heapGrowth << " bytes, errReport by " << reportGrowth;
    std::printf("%d checks (%zu real) in %.1f s; %zu failures, %zu alerts; heap %+lld bytes, errReport +%zu bytes\n",
                Cycles, realChecks, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
                failures, alerts, heapGrowth, reportGrowth);

    // What the run did is all there: every failure in errReport, every alert sent with all of it, and
    // the real checks' lines and restarts on disk.
    EXPECT_EQ(countOf(form.errReport, "\r\n"), failures);
    EXPECT_EQ(report.checkFailures, failures) << "every failed check is told to the machine's log";
    EXPECT_EQ(mail.messages, alerts);
    EXPECT_EQ(mail.lastBodySize, form.errReport.size());
    const std::string log = ReadWholeFile(form.txtLog.Text);
    EXPECT_EQ(countOf(log, "\r\n"), realFailures + realAlerts);
    EXPECT_EQ(countOf(log, "IIS再起動！！"), realAlerts);
    EXPECT_GT(realAlerts, 50U) << "the real adapters saw alerts too";
    EXPECT_EQ(fakeLauncher.starts, alerts - realAlerts);
}

} // namespace
