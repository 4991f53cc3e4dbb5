// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

class Form1;

// What the program counts for a fleet's monitoring, since it started. Counters only grow; a
// restart of the program starts them again at zero, which Prometheus reads as a counter reset.
struct CheckMetrics
{
    std::string file;             // [METRICS] FILE of the settings file; empty: no metrics file
    bool failureReported = false; // a write of `file` failed and the operator was told
    std::chrono::system_clock::time_point started{};
    std::optional<int> lastOutcome; // the last check's fetch outcome; none before the first check
    std::chrono::system_clock::time_point lastCheckAt{};
    std::chrono::steady_clock::duration lastCheckDuration{};
    std::array<std::uint64_t, 5> checksByOutcome{}; // by fetch outcome, 0 (healthy) to 4
    std::uint64_t restartsStarted = 0;
    std::uint64_t rebootsStarted = 0;
    std::uint64_t mailsSent = 0;
    std::uint64_t mailsFailed = 0;
};

// The section and key that name the metrics file. Read at start-up; neither save writes it.
inline constexpr const char* MetricsSection = "METRICS";
inline constexpr const char* MetricsFileKey = "FILE";

// The stable name of a fetch outcome, for a metric's label and an event's field.
const char* OutcomeName(int outcome);

// The metrics in Prometheus' text format (version 0.0.4), as node_exporter's and windows_exporter's
// textfile collectors read it.
std::string MetricsText(const CheckMetrics& metrics, int errCount, bool timerRunning, const std::string& version);

// Records one finished check (timed or manual) that began at `began` on the steady clock.
void RecordCheck(Form1& form, int outcome, std::chrono::steady_clock::time_point began);

// Replaces the metrics file, when there is one, with the state of now; `ending` writes the timer
// as stopped. A file that cannot be written is reported to the operator once (again only after a
// write has succeeded or the settings were read again), and the checks go on.
void PublishMetrics(Form1& form, bool ending = false);
