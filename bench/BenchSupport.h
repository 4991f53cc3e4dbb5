// SPDX-License-Identifier: MIT
#pragma once

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
