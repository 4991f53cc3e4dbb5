// SPDX-License-Identifier: MIT
#pragma once

#include "common/OperatorReport.h"
#include "config/RegistryStore.h"
#include "monitor/MailCallSites.h"
#include "monitor/ProcessLauncher.h"
#include "service/HeadlessPorts.h"
#include "shell/Form1.h"
#include "shell/UiServices.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// What the benchmarks share: services that do nothing, and the one line per figure that scripts/bench
// gathers into its table ("FIGURE|name|measured|target|verdict").

class NoMessageBox : public MessageBoxService
{
public:
    void MsgBox(const std::string&, int, const std::string&) override {}
};
class NoLifetime : public AppLifetime
{
public:
    void unloadWindow() override {}
    void endNow() override {}
};
class NoShell : public ShellService
{
public:
    void openDocument(const std::string&) override {}
};
class NoMail : public MailLibrary
{
public:
    using MailLibrary::SendMail;
    std::string SendMail(const std::string&, const std::string&, const std::string&, const std::string&,
                         const std::string&, const std::string&, std::chrono::milliseconds) override
    {
        return "OK";
    }
};
class NoLauncher : public ProcessLauncher
{
public:
    bool start(const std::string&, const std::vector<std::string>&) override { return true; }
};
class NoRegistry : public RegistryStore
{
public:
    std::string read(RegistryHive, const std::string&, const std::string&) const override { return {}; }
    bool write(RegistryHive, const std::string&, const std::string&, const std::string&) override { return true; }
};
class NoReport : public OperatorReport
{
public:
    void report(ReportKind, const std::string&) override {}
    void event(const OperationalEvent&) override {}
};

// The ports a benchmark does not measure, each doing nothing, and the notice's words.
struct IdlePorts
{
    NoMessageBox messageBox;
    NoTray tray;
    NoLifetime lifetime;
    NoShell shell;
    NoMail mail;
    NoLauncher launcher;
    NoRegistry registry;
    CancellingFileChooser fileChooser;
    CancellingFolderChooser folderChooser;
    NoReport report;
    PlatformNotice notice;
};

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One figure against its target: `atMost` says whether smaller is better (every target here is an
// upper bound).
inline void PrintFigure(const std::string& name, double measured, const std::string& unit, double atMost)
{
    std::printf("FIGURE|%s|%.3g%s|<= %.3g%s|%s\n", name.c_str(), measured, unit.c_str(), atMost, unit.c_str(),
                measured <= atMost ? "met" : "MISSED");
}
